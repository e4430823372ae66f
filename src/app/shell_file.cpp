// src/app/shell_file.cpp — the field list of the shell data file.
//
// Index:
//   1. reading primitives (tokens, line ends, faults)
//   2. field primitives in the three modes
//   3. the field list
//   4. load, save and fault text
#include "app/shell_file.h"

#include <locale.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "graphics/lang.h"
#include "graphics/numbers.h"
#include "platform/codepage.h"

namespace app {

int FileMode = kModeDefaults;

// ---------------------------------------------------------------------------
// 1. Reading primitives

namespace {

constexpr char kEofMark = 0x1A;  // old DOS editors end text files with Ctrl-Z

bool AtEnd(const DataFile& f) {
  return f.Pos >= f.Text.size() || f.Text[f.Pos] == kEofMark;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v'; }

// A line ends with LF, CR LF or CR alone (files from old Macintosh editors).
bool AtLineEnd(const DataFile& f) { return f.Text[f.Pos] == '\n' || f.Text[f.Pos] == '\r'; }

void PassLineEnd(DataFile& f) {
  if (f.Text[f.Pos] == '\r' && f.Pos + 1 < f.Text.size() && f.Text[f.Pos + 1] == '\n') ++f.Pos;
  ++f.Pos;
  ++f.Line;
}

void Fail(DataFile& f, std::string expected) {
  if (f.Failed()) return;
  f.ErrorLine = f.Line;
  f.Expected = std::move(expected);
}

// Skips blanks; with crossLines also line ends. Returns false at the end of
// the file, or (without crossLines) at the end of the line.
bool SkipToToken(DataFile& f, bool crossLines) {
  while (!AtEnd(f)) {
    char c = f.Text[f.Pos];
    if (AtLineEnd(f)) {
      if (!crossLines) return false;
      PassLineEnd(f);
    } else if (IsBlank(c)) {
      ++f.Pos;
    } else {
      return true;
    }
  }
  return false;
}

// The next run of non-blank characters on the line.
std::string NextToken(DataFile& f) {
  std::size_t start = f.Pos;
  while (!AtEnd(f) && !AtLineEnd(f) && !IsBlank(f.Text[f.Pos])) ++f.Pos;
  return f.Text.substr(start, f.Pos - start);
}

// The rest of the line (the label) and its line end.
void SkipLine(DataFile& f) {
  while (!AtEnd(f) && !AtLineEnd(f)) ++f.Pos;
  if (!AtEnd(f)) PassLineEnd(f);
}

// Nothing but blanks and line ends.
bool IsEmpty(const DataFile& f) {
  for (std::size_t i = f.Pos; i < f.Text.size() && f.Text[i] != kEofMark; ++i)
    if (!IsBlank(f.Text[i]) && f.Text[i] != '\n' && f.Text[i] != '\r') return false;
  return true;
}

bool ParseInt(const std::string& tok, std::int32_t& out) {
  if (tok.empty()) return false;
  std::size_t i = (tok[0] == '+' || tok[0] == '-') ? 1 : 0;
  if (i == tok.size()) return false;
  long long v = 0;
  for (; i < tok.size(); ++i) {
    if (tok[i] < '0' || tok[i] > '9') return false;
    v = v * 10 + (tok[i] - '0');
    if (v > 2147483648LL) return false;
  }
  if (tok[0] == '-') v = -v;
  if (v > 2147483647LL) return false;
  out = static_cast<std::int32_t>(v);
  return true;
}

enum class Number { Read, Malformed, NotFinite };

// A decimal number: sign, digits with at most one point (at least one
// digit), then an optional exponent. Hexadecimal and other forms that the C
// library would take are not numbers of the data file.
bool IsDecimal(const std::string& tok) {
  std::size_t i = tok[0] == '+' || tok[0] == '-' ? 1 : 0;
  int digits = 0;
  bool point = false;
  for (; i < tok.size(); ++i) {
    const char c = tok[i];
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i == tok.size()) return true;
  if (tok[i] != 'e' && tok[i] != 'E') return false;
  if (++i < tok.size() && (tok[i] == '+' || tok[i] == '-')) ++i;
  if (i == tok.size()) return false;
  for (; i < tok.size(); ++i)
    if (tok[i] < '0' || tok[i] > '9') return false;
  return true;
}

// The spellings of infinity and NaN: numbers, but not finite ones.
bool NamesNonFinite(const std::string& tok) {
  std::string t;
  for (char c : tok.substr(tok[0] == '+' || tok[0] == '-' ? 1 : 0))
    t += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return t == "inf" || t == "infinity" || t.rfind("nan", 0) == 0;
}

// Read as the model holds it, a 32-bit float: a value that would become
// infinite there is refused. Magnitudes from FLT_MAX up to (but not
// including) FLT_MAX + half its last place still round to FLT_MAX.
Number ParseFloat(const std::string& tok, float& out) {
  constexpr double kFloatOverflow = 0x1.ffffffp127;
  if (tok.empty()) return Number::Malformed;
  if (NamesNonFinite(tok)) return Number::NotFinite;
  if (!IsDecimal(tok)) return Number::Malformed;
  // The C locale's point, whatever locale the window system chose.
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  const double v = strtod_l(tok.c_str(), nullptr, c);
  if (!(std::fabs(v) < kFloatOverflow)) return Number::NotFinite;
  out = static_cast<float>(v);
  return Number::Read;
}

// Reads `count` numbers of one field: the first may stand after blank lines,
// the others must follow on the same line. Then skips the rest of the line.
Number ReadFloats(DataFile& f, float* out, int count) {
  for (int k = 0; k < count; ++k) {
    if (!SkipToToken(f, k == 0)) return Number::Malformed;
    const Number n = ParseFloat(NextToken(f), out[k]);
    if (n != Number::Read) return n;
  }
  SkipLine(f);
  return Number::Read;
}

std::string WithLabel(const char* ru, const char* en, const char* label) {
  return std::string(ru) + " (" + label + ");" + en + " (" + label + ")";
}

void WriteLine(DataFile& f, const std::string& values, const char* label) {
  f.Text += values;
  f.Text += label;
  f.Text += "\r\n";
}

}  // namespace

// ---------------------------------------------------------------------------
// 2. Field primitives

void FileHeader(DataFile& f, std::string& text, std::int32_t& number) {
  if (FileMode == kModeWrite) {
    f.Text += text;
    f.Text += "\r\n";
    f.Text += gfx::FormatFixed(number, 0, 0);
    f.Text += "\r\n";
  } else if (FileMode == kModeRead && !f.Failed()) {
    if (IsEmpty(f)) {
      f.Empty = true;
      Fail(f, "файл пуст;the file is empty"_sc);
      return;
    }
    std::size_t start = f.Pos;
    while (!AtEnd(f) && !AtLineEnd(f)) ++f.Pos;
    std::string line = f.Text.substr(start, f.Pos - start);
    SkipLine(f);
    std::int32_t v = 0;
    if (!SkipToToken(f, true) || !ParseInt(NextToken(f), v)) {
      Fail(f, "целое число (вторая строка файла);a whole number (the second line of the file)"_sc);
      return;
    }
    SkipLine(f);
    text = line;
    number = v;
  }
}

void FieldInt(DataFile& f, std::int32_t& v, const char* label, std::int32_t def) {
  if (FileMode == kModeDefaults) {
    v = def;
  } else if (FileMode == kModeWrite) {
    WriteLine(f, gfx::FormatFixed(v, 3, 0) + " ", label);
  } else if (!f.Failed()) {
    std::int32_t r = 0;
    bool found = SkipToToken(f, true);
    f.FieldLine = f.Line;
    if (!found || !ParseInt(NextToken(f), r)) {
      Fail(f, WithLabel("целое число"_sc, "a whole number", label));
      return;
    }
    SkipLine(f);
    v = r;
  }
}

std::string FormatByMagnitude(float v) {
  double a = std::fabs(static_cast<double>(v));
  int w = 8, d = 3;
  if (a < 0.000001)      { w = 14; d = 12; }
  else if (a < 0.00001)  { w = 13; d = 10; }
  else if (a < 0.0001)   { w = 12; d = 9; }
  else if (a < 0.001)    { w = 11; d = 8; }
  else if (a < 0.01)     { w = 10; d = 7; }
  else if (a < 0.1)      { w = 9;  d = 6; }
  else if (a < 1)        { w = 8;  d = 5; }
  else if (a < 10)       { w = 8;  d = 4; }
  return gfx::FormatFixed(v, w, d);
}

void FieldFloat(DataFile& f, float& v, const char* label, float def) {
  if (FileMode == kModeDefaults) {
    v = def;
  } else if (FileMode == kModeWrite) {
    WriteLine(f, FormatByMagnitude(v) + " ", label);
  } else if (!f.Failed()) {
    float r = 0;
    const Number n = ReadFloats(f, &r, 1);
    if (n != Number::Read) {
      Fail(f, n == Number::NotFinite ? WithLabel("конечное число"_sc, "a finite number", label)
                                     : WithLabel("число"_sc, "a number", label));
      return;
    }
    v = r;
  }
}

void FieldTriple(DataFile& f, float& a, float& b, float& c, const char* label,
                 float da, float db, float dc) {
  if (FileMode == kModeDefaults) {
    a = da;
    b = db;
    c = dc;
  } else if (FileMode == kModeWrite) {
    std::string values;
    for (float x : {a, b, c}) values += gfx::FormatFixed(x, 6, 3) + " ";
    WriteLine(f, values, label);
  } else if (!f.Failed()) {
    float r[3] = {};
    const Number n = ReadFloats(f, r, 3);
    if (n != Number::Read) {
      Fail(f, n == Number::NotFinite ? WithLabel("конечное число"_sc, "a finite number", label)
                                     : WithLabel("три числа"_sc, "three numbers", label));
      return;
    }
    a = r[0];
    b = r[1];
    c = r[2];
  }
}

// ---------------------------------------------------------------------------
// 3. The field list

void ShellFieldList(DataFile& f, ShellModel& m) {
  std::int32_t headerNumber = 0;
  FileHeader(f, m.DataFileHeaderText, headerNumber);

  const char* countLabel = "Число узлов"_sc;
  std::int32_t n = m.SectionCount;
  if (FileMode == kModeWrite) n = SectionsInUse(m);
  FieldInt(f, n, countLabel, 3);
  if (FileMode == kModeRead && !f.Failed() && (n < 2 || n > kMaxSections)) {
    f.Line = f.FieldLine;  // the count's own line, already passed
    const std::string most = std::to_string(kMaxSections);
    Fail(f, WithLabel(("число сечений от 2 до "_sc + most).c_str(), ("a section count from 2 to " + most).c_str(),
                      countLabel));
  }
  if (f.Failed()) return;
  m.SectionCount = n;

  for (int i = 1; i <= n; ++i) {
    FieldTriple(f, m.SectionRadius[i], m.SectionHeight[i], m.ArcRadius[i], "X,Y,R, мм"_sc,
                static_cast<float>((n - i) * (i - 1) * 100), static_cast<float>((i - 1) * 100), 100);
    float unused = 0;
    FieldTriple(f, m.Thickness[i], m.LineLoad[i], unused, "D,м,  PY,Н/м"_sc,
                static_cast<float>(2 * i), 0, 0);
    FieldInt(f, m.GeneratrixKind[i], "JR", 1);
  }

  FieldFloat(f, m.InternalPressure, "Давление, МПа"_sc, 0.2f);
  FieldFloat(f, m.LiquidDensity, "Плотность жидкости, г/куб.см"_sc, 1.0f);
  FieldFloat(f, m.LiquidLevel, "Уровень жидкости, мм"_sc, 150);
  FieldFloat(f, m.Overload, "Перегрузка "_sc, 10);
  FieldInt(f, m.SupportSection, "Узел опоры"_sc, 2);
  FieldFloat(f, m.ContourStep, "Шаг, мм "_sc, 10);
  FieldFloat(f, m.YoungModulus, "Модуль упругости, МПа"_sc, 210000);
  FieldFloat(f, m.WallDensity, "Плотность, г/куб.см"_sc, 7.85f);
  FieldFloat(f, m.PictureScale, "Масштаб"_sc, 0.25f);
  FieldFloat(f, m.FontHeight, "Высота шрифта"_sc, 2.7f);
  FieldFloat(f, m.PressureScale, "Масштаб давлений"_sc, 100);
  FieldFloat(f, m.ForceScale, "Масштаб сил"_sc, 0.005f);
  FieldFloat(f, m.MembraneForceScale, "Масштаб усилий"_sc, 2.0001f);
  FieldFloat(f, m.StressScale, "Масштаб напряжений"_sc, 5.0001f);
  FieldFloat(f, m.DisplacementScale, "Масштаб перемещений"_sc, 5000);
  FieldFloat(f, m.SecondDisplacementScale, "Масштаб перемещений"_sc, 1000);
  FieldTriple(f, m.SchemeOrigin[0], m.SchemeOrigin[1], m.DiagramStep, "XDRA", 50, -90, 33);
  float unused1 = 0, unused2 = 0;
  FieldTriple(f, m.FirstRowOrigin[0], m.FirstRowOrigin[1], unused1, "XEP1", 20, -175, 0);
  FieldTriple(f, m.LowerRowOrigin[0], m.LowerRowOrigin[1], unused2, "XEP2", 20, -260, 0);

  // The design check came later: a file that ends before one of its fields
  // (every file of the older versions) gives that field its default.
  const int mode = FileMode;
  auto later = [&f, mode](auto field) {
    if (mode == kModeRead && !f.Failed() && IsEmpty(f)) FileMode = kModeDefaults;
    field();
    FileMode = mode;
  };
  later([&] { FieldFloat(f, m.AllowableStress, "Допускаемое напряжение, МПа"_sc, 0); });
  const char* ruleLabel = "Эквивалентное напряжение: 0 Мизес, 1 Треска"_sc;
  later([&] { FieldInt(f, m.EquivalenceRule, ruleLabel, kVonMises); });
  if (mode == kModeRead && !f.Failed() && m.EquivalenceRule != kVonMises && m.EquivalenceRule != kTresca) {
    f.Line = f.FieldLine;
    Fail(f, WithLabel("0 или 1"_sc, "0 or 1", ruleLabel));
  }
}

// ---------------------------------------------------------------------------
// 4. Load, save, fault text

void LoadShellData(DataFile& f, std::string& /*comment*/, ShellModel& m) {
  FileMode = kModeRead;
  ShellModel scratch = m;
  ShellFieldList(f, scratch);
  if (!f.Failed()) m = scratch;
}

void SaveShellData(DataFile& f, const std::string& /*comment*/, const ShellModel& m) {
  FileMode = kModeWrite;
  ShellModel copy = m;  // the field list takes its fields by reference
  ShellFieldList(f, copy);
}

std::string DataFileFault(const DataFile& f, int language) {
  if (!f.Failed()) return std::string();
  if (f.Empty) return gfx::LangPartOf(f.Expected, language);
  std::string line = gfx::FormatFixed(f.ErrorLine, 0, 0);
  std::string what = gfx::LangPartOf(f.Expected, language);
  if (language == 1) return "line " + line + ": expected " + what;
  return std::string("строка "_sc) + line + ": " + "ожидается "_sc + what;
}

}  // namespace app
