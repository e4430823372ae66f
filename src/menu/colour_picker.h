// src/menu/colour_picker.h — the colour picker of the bottom panel: the
// sixteen basic colours as swatches, a marker moved with the arrows, and an
// optional integer value per colour edited in place.
#pragma once

#include <cstdint>
#include <string_view>

namespace menu {

constexpr int kPickerColours = 16;

// colour gives the initially marked colour and receives the result, −1
// when the dialogue was refused (edited values stay edited).
void PickColour(std::string_view title, bool withValues, std::int32_t& colour,
                std::int32_t values[kPickerColours]);

}  // namespace menu
