// src/platform/image/script.h — the keys of a --script file: the notation
// a scripted run types into the image driver's queue.
//
// A script is UTF-8 text. Each character is a key as the window delivers it
// (Cyrillic letters in the Windows code page); line ends are skipped; a
// token between angle brackets is a named key (<Enter>, <Esc>, <Tab>,
// <Backspace>, <Space>, <lt>), a special key with modifiers (<Ctrl-Up>,
// <Alt-Backspace>, <Ctrl-a>), a mouse event (<click X Y>, <rclick X Y>,
// <mclick X Y>, <move X Y>, <wheel+>, <wheel->), a menu-bar command
// (<menu N>), a screenshot (<shot FILE>), a resize (<resize W H>) or the
// answer to a question (<yes>, <no>, <cancel>).
#pragma once

#include <string>

namespace platform {

// Queues the keys of a script. Returns false with a message naming the line
// when the script is wrong; the keys before it stay queued.
bool QueueScript(const std::string& text, std::string& error);

}  // namespace platform
