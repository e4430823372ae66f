// The shell data file: exact bytes, round trips, and files that are wrong.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "support/shell_files.h"

namespace {

using app::DataFile;
using app::ShellModel;

// The lines of a text given in UTF-8, joined with CR LF and converted to the
// screen code page: how the program writes its files.
std::string ScreenLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += gfx::ScreenFromUtf8(l) + "\r\n";
  return out;
}

const std::vector<std::string> kDefaultFile = {
    "",
    "0",
    "  3 Число узлов",
    " 0.000  0.000 100.000 X,Y,R, мм",
    " 2.000  0.000  0.000 D,м,  PY,Н/м",
    "  1 JR",
    "100.000 100.000 100.000 X,Y,R, мм",
    " 4.000  0.000  0.000 D,м,  PY,Н/м",
    "  1 JR",
    " 0.000 200.000 100.000 X,Y,R, мм",
    " 6.000  0.000  0.000 D,м,  PY,Н/м",
    "  1 JR",
    " 0.20000 Давление, МПа",
    "  1.0000 Плотность жидкости, г/куб.см",
    " 150.000 Уровень жидкости, мм",
    "  10.000 Перегрузка ",
    "  2 Узел опоры",
    "  10.000 Шаг, мм ",
    "210000.000 Модуль упругости, МПа",
    "  7.8500 Плотность, г/куб.см",
    " 0.25000 Масштаб",
    "  2.7000 Высота шрифта",
    " 100.000 Масштаб давлений",
    " 0.0050000 Масштаб сил",
    "  2.0001 Масштаб усилий",
    "  5.0001 Масштаб напряжений",
    "5000.000 Масштаб перемещений",
    "1000.000 Масштаб перемещений",
    "50.000 -90.000 33.000 XDRA",
    "20.000 -175.000  0.000 XEP1",
    "20.000 -260.000  0.000 XEP2",
    "0.000000000000 Допускаемое напряжение, МПа",
    "  0 Эквивалентное напряжение: 0 Мизес, 1 Треска",
};
// The files of the versions before the design check end after XEP2.
constexpr int kOlderFileLines = 31;

std::string Save(const ShellModel& m) { return testing_support::ShellBytes(m); }
ShellModel Defaults() { return testing_support::DefaultShell(); }

DataFile Load(const std::string& bytes, ShellModel& m) {
  DataFile f;
  f.Text = bytes;
  std::string comment;
  app::LoadShellData(f, comment, m);
  return f;
}

bool SameModel(const ShellModel& a, const ShellModel& b) {
  return Save(a) == Save(b) && a.CurrentIndex == b.CurrentIndex &&
         a.SupportReaction == b.SupportReaction;
}

TEST(ShellFileWrite, DefaultShellIsWrittenByteForByte) {
  EXPECT_EQ(Save(Defaults()), ScreenLines(kDefaultFile));
  // The labels in the screen code page: "Число" in CP866.
  EXPECT_NE(Save(Defaults()).find("\x97\xA8\xE1\xAB\xAE"), std::string::npos);
}

TEST(ShellFileWrite, FloatFieldWidthFollowsMagnitude) {
  const std::pair<float, const char*> kRows[] = {
      {0.0f, "0.000000000000"}, {0.000005f, " 0.0000050000"}, {0.00005f, " 0.000050000"},
      {0.0005f, " 0.00050000"}, {0.005f, " 0.0050000"},          {0.05f, " 0.050000"},
      {0.5f, " 0.50000"},       {-5.0f, " -5.0000"},             {-50.0f, " -50.000"},
      {123456.0f, "123456.000"}};
  for (const auto& [value, text] : kRows) EXPECT_EQ(app::FormatByMagnitude(value), text) << value;
}

// A model that differs from the defaults everywhere, so that a half-read
// file would show.
ShellModel Distinct() {
  ShellModel m = Defaults();
  m.SectionCount = 4;
  for (int i = 1; i <= 4; ++i) m.SectionRadius[i] = 11.0f * i;
  m.InternalPressure = 9;
  m.PictureScale = 3;
  m.DataFileHeaderText = "old";
  return m;
}

// A wrong number on any line, and a file that ends after any line before
// the design check, fail at that line and leave the model.
TEST(ShellFileRead, AWrongNumberOrAnEndOnAnyLineLeavesTheModelAndNamesTheLine) {
  const std::string good = ScreenLines(kDefaultFile);
  std::size_t end = good.find('\n') + 1;  // of the line before
  for (int line = 2; line <= static_cast<int>(kDefaultFile.size()); ++line) {
    SCOPED_TRACE(line);
    std::vector<std::string> lines = kDefaultFile;
    std::string& l = lines[line - 1];
    const std::size_t start = l.find_first_not_of(' ');
    l.replace(start, l.find(' ', start) - start, "1x5");
    std::vector<std::string> files = {ScreenLines(lines)};
    if (line >= 3 && line <= kOlderFileLines) files.push_back(good.substr(0, end));
    for (const std::string& bytes : files) {
      ShellModel m = Distinct();
      DataFile f = Load(bytes, m);
      ASSERT_TRUE(f.Failed());
      EXPECT_EQ(f.ErrorLine, line);
      EXPECT_TRUE(SameModel(m, Distinct()));
    }
    end = good.find('\n', end) + 1;
  }
  ShellModel m = Distinct();
  EXPECT_FALSE(Load(good, m).Failed());
}

// The first number of a line replaced by Value (a Value that starts with a
// blank: the whole line; line 0: the whole file), and the fault that names
// the line and what was expected there.
struct Fault { int Line; const char* Value; const char* Said; };
const Fault kFaults[] = {
    {13, "nan", "line 13: expected a finite number (Давление, МПа)"},
    {4, "-inf", "line 4: expected a finite number (X,Y,R, мм)"},
    {19, "1e39", "line 19: expected a finite number (Модуль упругости, МПа)"},
    {13, "0x1p10", "line 13: expected a number (Давление, МПа)"},
    {0, "", "the file is empty"},
    {0, " \r\n\r\n\t", "the file is empty"},
    // The last number of a triple is not taken from the next line.
    {4, " 0.000  0.000", "line 4: expected three numbers (X,Y,R, мм)"},
    // Section counts outside the capacity.
    {3, "50", "line 3: expected a section count from 2 to 49 (Число узлов)"},
    {3, "1", "line 3: expected a section count from 2 to 49 (Число узлов)"},
    {3, "0", "line 3: expected a section count from 2 to 49 (Число узлов)"},
    {3, "-3", "line 3: expected a section count from 2 to 49 (Число узлов)"},
    {3, "2147483647", "line 3: expected a section count from 2 to 49 (Число узлов)"},
    {3, "99999999999", "line 3: expected a whole number (Число узлов)"},
};

TEST(ShellFileRead, FaultsSayWhereAndWhat) {
  for (const Fault& c : kFaults) {
    SCOPED_TRACE(c.Said);
    std::vector<std::string> lines = kDefaultFile;
    std::string bytes = c.Value;
    if (c.Line > 0) {
      std::string& l = lines[c.Line - 1];
      const std::size_t start = l.find_first_not_of(' ');
      if (c.Value[0] == ' ') l = c.Value;
      else l.replace(start, l.find(' ', start) - start, c.Value);
      bytes = ScreenLines(lines);
    }
    ShellModel m = Distinct();
    DataFile f = Load(bytes, m);
    EXPECT_EQ(gfx::Utf8FromScreen(app::DataFileFault(f, 1)), c.Said);
    EXPECT_TRUE(SameModel(m, Distinct()));
  }
  // The same in Russian.
  std::vector<std::string> lines = kDefaultFile;
  lines[3] = " 0.000  0.000";
  ShellModel m = Distinct();
  EXPECT_EQ(gfx::Utf8FromScreen(app::DataFileFault(Load(ScreenLines(lines), m), 0)),
            "строка 4: ожидается три числа (X,Y,R, мм)");
}

TEST(ShellFileRead, OlderFilesTakeTheDesignCheckDefaults) {
  struct Case { int Lines; const char* Rule; bool Loads; float Allowable; std::int32_t RuleRead; } const kCases[] = {
      {kOlderFileLines, "", true, 0, app::kVonMises},  // an older file
      {kOlderFileLines + 1, "", true, 0, app::kVonMises},
      {kOlderFileLines + 2, "  1", true, 0, app::kTresca},
      {kOlderFileLines + 2, "  2", false, 160, app::kTresca},  // the model stays as it was
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.Lines);
    std::vector<std::string> lines(kDefaultFile.begin(), kDefaultFile.begin() + c.Lines);
    if (*c.Rule) lines.back().replace(0, 3, c.Rule);
    ShellModel m = Distinct();
    m.AllowableStress = 160;
    m.EquivalenceRule = app::kTresca;
    DataFile f = Load(ScreenLines(lines), m);
    EXPECT_EQ(f.Failed(), !c.Loads);
    EXPECT_EQ(f.ErrorLine, c.Loads ? 0 : c.Lines);
    EXPECT_EQ(m.AllowableStress, c.Allowable);
    EXPECT_EQ(m.EquivalenceRule, c.RuleRead);
  }
}

// Any line end, any bytes in the header line (kept byte for byte) and the
// labels (they only serve a human reader), blank lines before a field.
TEST(ShellFileRead, AnyLineEndHeaderAndLabelBytesAndBlankLinesAreRead) {
  const std::string header = "\x01\xFF  any bytes \x8F\t;";
  for (const char* end : {"\n", "\r", "\r\n"}) {
    SCOPED_TRACE(end[0] == '\r' ? end[1] == 0 ? "CR" : "CR LF" : "LF");
    std::string bytes = header + end;
    for (std::size_t i = 1; i < kDefaultFile.size(); ++i)
      bytes += (i == 2 ? std::string(end) + "   " + end : "") + gfx::ScreenFromUtf8(kDefaultFile[i]) + end;
    bytes.replace(bytes.find("JR"), 2, "\xD0\x96\xC3\xA9 label in UTF-8");
    ShellModel m = Distinct();
    ASSERT_FALSE(Load(bytes, m).Failed());
    EXPECT_EQ(Save(m).substr(0, header.size() + 2), header + "\r\n");
    m.DataFileHeaderText.clear();
    EXPECT_TRUE(SameModel(m, Defaults()));
  }
}

TEST(ShellFileRead, ArbitraryBytesNeverCrash) {
  const std::string good = ScreenLines(kDefaultFile);
  unsigned seed = 12345;
  for (int round = 0; round < 2000; ++round) {
    std::string bytes = good;
    for (int k = 0; k < 4; ++k) {
      seed = seed * 1103515245u + 12345u;
      std::size_t pos = (seed >> 8) % bytes.size();
      seed = seed * 1103515245u + 12345u;
      bytes[pos] = static_cast<char>(seed >> 16);
    }
    ShellModel m = Distinct();
    DataFile f = Load(bytes, m);
    if (f.Failed()) {
      EXPECT_TRUE(SameModel(m, Distinct()));
    } else {
      EXPECT_GE(m.SectionCount, 2);
      EXPECT_LE(m.SectionCount, app::kMaxSections);
    }
  }
}

}  // namespace
