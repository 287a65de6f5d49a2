// INI module: lookup rules, encodings and line endings, in-place updates, number reads,
// the character cut, atomic replacement and the refusal of unwritable names and values; the
// whole-file reads and replacements beneath.
#include <dirent.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "child_process.h"
#include "platform/ini_file.h"
#include "platform/ini_write_hook.h"
#include "platform/whole_file.h"
#include "tests/support/temp_folder.h"

namespace {

using child_process::EndedProcess;
using platform::GetPrivateProfileInt;
using platform::GetPrivateProfileString;
using platform::WritePrivateProfileString;

constexpr int kIntDefault = 777;
constexpr char kStringDefault[] = "DEF";

// glibc's iconv is the reference for the encodings, independent of the module's own tables.
std::string Convert(const std::string& text, const char* from, const char* to) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  std::string out(text.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (result == static_cast<std::size_t>(-1)) throw std::runtime_error("iconv failed");
  out.resize(out.size() - outLeft);
  return out;
}

std::string WithLineEnds(std::string text, const std::string& ending) {
  std::string out;
  for (const char c : text) out += c == '\n' ? ending : std::string(1, c);
  return out;
}

class TempDir : public ::testing::Test {
 protected:
  std::string PathOf(const std::string& name) const { return dir_ + "/" + name; }

  static void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  static std::optional<std::string> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    DIR* d = opendir(dir_.c_str());
    while (const dirent* entry = readdir(d)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(d);
    return names;
  }

  static mode_t ModeOf(const std::string& path) {
    struct stat status {};
    stat(path.c_str(), &status);
    return status.st_mode & 07777;
  }

  test_support::TempFolder folder_{"ini-test"};
  std::string dir_ = folder_.Path().string();
};

// One file in each form that the profile functions or an editor may leave.
struct FileForm {
  const char* name;
  const char* bom;
  const char* charset;
  const char* lineEnd;
};

void PrintTo(const FileForm& form, std::ostream* out) { *out << form.name; }

const FileForm kFileForms[] = {
    {"utf8_lf", "", "UTF-8", "\n"},
    {"utf8_crlf", "", "UTF-8", "\r\n"},
    {"utf8_bom_crlf", "\xEF\xBB\xBF", "UTF-8", "\r\n"},
    {"utf16le_bom_crlf", "\xFF\xFE", "UTF-16LE", "\r\n"},
    {"utf16be_bom_lf", "\xFE\xFF", "UTF-16BE", "\n"},
    {"windows1252_crlf", "", "WINDOWS-1252", "\r\n"},
    {"windows1252_lf", "", "WINDOWS-1252", "\n"},
};

constexpr char kAccentedFile[] =
    "; ajustes del pedal\n"
    "[General]\n"
    "nombre = \"Pedal Orvo\"\n"
    "[Sección]\n"
    "; comentario dentro de la sección\n"
    "clave=  valor con acentos: áéíóú ñ €  \n"
    "número=42\n"
    "símbolos=€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ\n";

std::string Encoded(const FileForm& form, const std::string& utf8LfText) {
  return form.bom + Convert(WithLineEnds(utf8LfText, form.lineEnd), "UTF-8", form.charset);
}

class IniFileForms : public TempDir, public ::testing::WithParamInterface<FileForm> {};

TEST_P(IniFileForms, ReadsAccentedNamesAndValuesCaseInsensitively) {
  const std::string file = PathOf("presets.ini");
  WriteBytes(file, Encoded(GetParam(), kAccentedFile));

  EXPECT_EQ(GetPrivateProfileString("general", "NOMBRE", kStringDefault, 256, file), "Pedal Orvo");
  EXPECT_EQ(GetPrivateProfileString("SECCIÓN", "Clave", kStringDefault, 256, file),
            "valor con acentos: áéíóú ñ €");
  EXPECT_EQ(GetPrivateProfileInt("sección", "NÚMERO", kIntDefault, file), 42);
  EXPECT_EQ(GetPrivateProfileString("sección", "SÍMBOLOS", "", 256, file),
            "€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ");
  // A comment line inside the section is no key, and keys of other sections are not seen.
  EXPECT_EQ(GetPrivateProfileString("Sección", "; comentario dentro de la sección", kStringDefault,
                                    256, file),
            kStringDefault);
  EXPECT_EQ(GetPrivateProfileInt("Sección", "nombre", kIntDefault, file), kIntDefault);
}

TEST_P(IniFileForms, RewriteKeepsEncodingLineEndsAndEveryOtherLine) {
  const std::string file = PathOf("presets.ini");
  WriteBytes(file, Encoded(GetParam(), kAccentedFile));

  ASSERT_TRUE(WritePrivateProfileString("SECCIÓN", "CLAVE", "otro valor: ü", file));
  ASSERT_TRUE(WritePrivateProfileString("sección", "nuevo", "1", file));
  ASSERT_TRUE(WritePrivateProfileString("Nueva", "k", "é", file));

  const std::string expected =
      "; ajustes del pedal\n"
      "[General]\n"
      "nombre = \"Pedal Orvo\"\n"
      "[Sección]\n"
      "; comentario dentro de la sección\n"
      "clave=  otro valor: ü\n"
      "número=42\n"
      "símbolos=€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ\n"
      "nuevo=1\n"
      "[Nueva]\n"
      "k=é\n";
  EXPECT_EQ(ReadBytes(file), Encoded(GetParam(), expected));
  EXPECT_EQ(GetPrivateProfileString("sección", "clave", "", 256, file), "otro valor: ü");
}

INSTANTIATE_TEST_SUITE_P(Forms, IniFileForms, ::testing::ValuesIn(kFileForms),
                         [](const auto& info) { return std::string(info.param.name); });

using IniEncoding = TempDir;

TEST_F(IniEncoding, Windows1252FileTakesACharacterItLacksAsUtf16) {
  const std::string file = PathOf("presets.ini");
  const FileForm ansi = {"", "", "WINDOWS-1252", "\r\n"};
  WriteBytes(file, Encoded(ansi, kAccentedFile));

  ASSERT_TRUE(WritePrivateProfileString("General", "flecha", "→ Ω", file));

  const std::string bytes = ReadBytes(file).value();
  ASSERT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  const std::string expected =
      "; ajustes del pedal\n"
      "[General]\n"
      "nombre = \"Pedal Orvo\"\n"
      "flecha=→ Ω\n"
      "[Sección]\n"
      "; comentario dentro de la sección\n"
      "clave=  valor con acentos: áéíóú ñ €  \n"
      "número=42\n"
      "símbolos=€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ\n";
  EXPECT_EQ(Convert(bytes.substr(2), "UTF-16LE", "UTF-8"), WithLineEnds(expected, "\r\n"));
  EXPECT_EQ(GetPrivateProfileString("general", "FLECHA", "", 256, file), "→ Ω");
  EXPECT_EQ(GetPrivateProfileString("sección", "clave", "", 256, file),
            "valor con acentos: áéíóú ñ €");
}

// An editor's BOM before Windows-1252 bytes: the BOM is no part of the first line, and a write
// keeps the file's bytes as they were.
TEST_F(IniEncoding, Utf8BomBeforeWindows1252BytesIsNoPartOfTheText) {
  const std::string file = PathOf("presets.ini");
  WriteBytes(file, "\xEF\xBB\xBF[CNF]\r\npreset=1\r\n[S]\r\nname=caf\xE9\r\n");
  EXPECT_EQ(GetPrivateProfileInt("CNF", "preset", kIntDefault, file), 1);
  EXPECT_EQ(GetPrivateProfileString("S", "name", "", 256, file), "café");

  ASSERT_TRUE(WritePrivateProfileString("CNF", "preset", "2", file));
  EXPECT_EQ(ReadBytes(file), "\xEF\xBB\xBF[CNF]\r\npreset=2\r\n[S]\r\nname=caf\xE9\r\n");
  ASSERT_TRUE(WritePrivateProfileString("S", "name", "señor", file));
  EXPECT_EQ(ReadBytes(file), "\xEF\xBB\xBF[CNF]\r\npreset=2\r\n[S]\r\nname=se\xF1or\r\n");
}

TEST_F(IniEncoding, MissingFileReadsDefaultsAndFirstWriteCreatesUtf8Crlf) {
  const std::string file = PathOf("presets.ini");
  EXPECT_EQ(GetPrivateProfileInt("CNF", "preset", kIntDefault, file), kIntDefault);
  EXPECT_EQ(GetPrivateProfileString("CNF", "preset", kStringDefault, 256, file), kStringDefault);
  EXPECT_FALSE(ReadBytes(file).has_value());

  ASSERT_TRUE(WritePrivateProfileString("Sección", "a", "ñ", file));
  ASSERT_TRUE(WritePrivateProfileString("Sección", "b", "2", file));
  EXPECT_EQ(ReadBytes(file), "[Sección]\r\na=ñ\r\nb=2\r\n");
}

// ---------------------------------------------------------------------------------------
// Lookup: trimming, quotes, duplicates, lines that are no keys, integer reads.

constexpr char kLookupFile[] =
    "top=outside\n"
    "[A]\n"
    "k=first\n"
    "K=second\n"
    "bare line without equals\n"
    "shadow\n"
    "shadow=later\n"
    "=no name\n"
    "empty=\n"
    "blank   =   \n"
    "q1=\"  spaced \"\n"
    "q2='single'\n"
    "q3=\"mismatch'\n"
    "q4=\"\"\n"
    "neg=-1\n"
    "plus=  +17\n"
    "wrap=4294967295\n"
    "min=2147483648\n"
    "big=99999999999\n"
    "joyneg=-2128368691\n"
    "joyuns=2166598605\n"
    "quoted=\" 5\"\n"
    "trail=12abc\n"
    "word=abc\n"
    "hex=0x1F\n"
    "sign=-\n"
    "[a]\n"
    "k=third\n"
    "other=x\n"
    "  [ Spaced Section ]  \n"
    "  indented key  =  v  \n"
    "[Ünïcode ŁÓDŹ ΑΒΓ ПРИВЕТ]\n"
    "Straße=1\n"
    "[[x] ]\n"
    "inner=1\n";

struct LookupCase {
  const char* section;
  const char* key;
  std::optional<std::string> text;  // nullopt: the key reads as missing
  int number;                       // GetPrivateProfileInt when the key is present
};

// 0x8123ABCD: a joystick id above 0x7FFFFFFF, written signed or unsigned.
constexpr int kHighJoystickId = static_cast<int>(0x8123ABCDu);

const LookupCase kLookupCases[] = {
    {"A", "k", "first", 0},
    {"a", "K", "first", 0},           // duplicate keys: the first wins
    {"  A  ", " k ", "first", 0},     // the request is trimmed too
    {"A", "other", std::nullopt, 0},  // duplicate sections: only the first is read
    {"", "top", std::nullopt, 0},     // lines before any section belong to none
    {"A", "bare line without equals", std::nullopt, 0},  // no value: missing, as Windows reads it
    {"A", "shadow", std::nullopt, 0},  // and it hides a later line of the same key
    {"A", "", std::nullopt, 0},
    {"A", "empty", "", 0},  // empty text: present, reads as 0, not default
    {"A", "blank", "", 0},
    {"A", "q1", "  spaced ", 0},
    {"A", "q2", "single", 0},
    {"A", "q3", "\"mismatch'", 0},
    {"A", "q4", "", 0},
    {"A", "neg", "-1", -1},
    {"A", "plus", "+17", 17},
    {"A", "wrap", "4294967295", -1},
    {"A", "min", "2147483648", INT_MIN},
    {"A", "big", "99999999999", 1215752191},  // modulo 2^32
    {"A", "joyneg", "-2128368691", kHighJoystickId},
    {"A", "joyuns", "2166598605", kHighJoystickId},
    {"A", "quoted", " 5", 5},
    {"A", "trail", "12abc", 12},
    {"A", "word", "abc", 0},
    {"A", "hex", "0x1F", 0},
    {"A", "sign", "-", 0},
    {"spaced section", "INDENTED KEY", "v", 0},
    {"ünïcode łódź αβγ привет", "STRAßE", "1", 1},
    {"Ünïcode ŁÓDŹ ΑΒΓ ПРИВЕТ", "STRASSE", std::nullopt, 0},  // no multi-letter folding
    {"[x] ", "inner", "1", 1},                                // a header runs to its last ']'
};

using IniLookup = TempDir;

TEST_F(IniLookup, FollowsTheProfileRules) {
  const std::string file = PathOf("lookup.ini");
  WriteBytes(file, kLookupFile);
  for (const LookupCase& c : kLookupCases) {
    SCOPED_TRACE(std::string("[") + c.section + "] " + c.key);
    EXPECT_EQ(GetPrivateProfileString(c.section, c.key, kStringDefault, 256, file),
              c.text.value_or(kStringDefault));
    EXPECT_EQ(GetPrivateProfileInt(c.section, c.key, kIntDefault, file),
              c.text ? c.number : kIntDefault);
  }
}

TEST_F(IniLookup, StringReadCopiesAtMostSizeMinusOneCharacters) {
  const std::string file = PathOf("cut.ini");
  std::string accents;
  for (int i = 0; i < 70; ++i) accents += "é";
  WriteBytes(file, "[S]\nascii=" + std::string(70, 'x') + "\naccents=" + accents + "\n");

  struct CutCase {
    const char* key;
    std::size_t size;
    std::size_t expectedCharacters;
  };
  const CutCase cases[] = {
      {"ascii", 64, 63},  {"accents", 64, 63}, {"ascii", 71, 70},
      {"ascii", 500, 70}, {"accents", 1, 0},   {"accents", 0, 0},
  };
  for (const CutCase& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " size " + std::to_string(c.size));
    const std::string unit = std::string(c.key) == "ascii" ? "x" : "é";
    std::string expected;
    for (std::size_t i = 0; i < c.expectedCharacters; ++i) expected += unit;
    EXPECT_EQ(GetPrivateProfileString("S", c.key, "", c.size, file), expected);
  }
  EXPECT_EQ(GetPrivateProfileString("S", "missing", "añadir", 4, file), "aña");
}

// ---------------------------------------------------------------------------------------
// Updates in place.

struct WriteCase {
  const char* name;
  const char* before;
  const char* section;
  const char* key;
  const char* value;
  const char* after;
};

void PrintTo(const WriteCase& c, std::ostream* out) { *out << c.name; }

const WriteCase kWriteCases[] = {
    {"update_keeps_line_and_spelling", "[S]\n  Dz_0 = 5  \nx=1\n", "s", "DZ_0", "7",
     "[S]\n  Dz_0 = 7\nx=1\n"},
    {"new_key_before_trailing_comment_and_blank", "[S]\nk=1\n; about T\n\n[T]\nt=1\n", "S", "new",
     "2", "[S]\nk=1\nnew=2\n; about T\n\n[T]\nt=1\n"},
    {"new_key_in_section_of_comments", "[S]\n; c\n[T]\n", "S", "new", "2",
     "[S]\nnew=2\n; c\n[T]\n"},
    {"new_section_after_unterminated_last_line", "[S]\nk=1", "N", "n", "3", "[S]\nk=1\n[N]\nn=3\n"},
    {"duplicate_key_first_updated", "[S]\nk=1\nk=2\n", "S", "K", "9", "[S]\nk=9\nk=2\n"},
    {"duplicate_section_first_extended", "[S]\na=1\n[T]\n[s]\nb=2\n", "S", "b", "3",
     "[S]\na=1\nb=3\n[T]\n[s]\nb=2\n"},
    {"bare_key_replaced_where_it_stands", "[START]\r\nminimized\r\nk=v\r\n", "START", "minimized",
     "1", "[START]\r\nminimized=1\r\nk=v\r\n"},
    {"bare_key_with_blanks_replaced", "[S]\n  flag  \nk=v\n", "S", "FLAG", "on",
     "[S]\n  flag=on\nk=v\n"},
    {"key_before_any_section_untouched", "top=1\n[S]\n", "S", "top", "2", "top=1\n[S]\ntop=2\n"},
    {"padded_value_quoted", "[S]\n", "S", "k", " padded ", "[S]\nk=\" padded \"\n"},
    {"quoted_looking_value_quoted", "[S]\n", "S", "k", "'q'", "[S]\nk=\"'q'\"\n"},
    {"empty_value", "[S]\nk=1\n", "S", "k", "", "[S]\nk=\n"},
    {"section_name_with_bracket", "[S]\n", "a]b", "k", "1", "[S]\n[a]b]\nk=1\n"},
    {"lone_cr_endings", "[S]\rk=1\r", "S", "j", "2", "[S]\rk=1\rj=2\r"},
    {"mixed_endings_kept_new_line_as_first", "[S]\r\nk=1\n", "S", "j", "3", "[S]\r\nk=1\nj=3\r\n"},
};

class IniWrite : public TempDir, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(IniWrite, UpdatesOnlyItsKey) {
  const WriteCase& c = GetParam();
  const std::string file = PathOf("write.ini");
  WriteBytes(file, c.before);
  ASSERT_TRUE(WritePrivateProfileString(c.section, c.key, c.value, file));
  EXPECT_EQ(ReadBytes(file), c.after);
  EXPECT_EQ(GetPrivateProfileString(c.section, c.key, kStringDefault, 256, file), c.value);
}

INSTANTIATE_TEST_SUITE_P(Cases, IniWrite, ::testing::ValuesIn(kWriteCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// Refusals: nothing that would read back differently, or break the line structure, is written.

struct RefusedWrite {
  std::string section;
  std::string key;
  std::string value;
};

using IniRefusal = TempDir;

TEST_F(IniRefusal, WriteRefusesLineBreaksAndNamesThatWouldNotReadBack) {
  const RefusedWrite cases[] = {
      {"S\n", "k", "v"},    {"S", "k\r", "v"},   {"S", "k", "a\nb"},
      {"S", "k", "a\r\nb"}, {"S", "k", "a\rb"},  {"S", "k", std::string("a\0b", 3)},
      {"", "k", "v"},       {"  ", "k", "v"},    {"S", "", "v"},
      {"S", "a=b", "v"},    {"S", "[k", "v"},    {"S", ";k", "v"},
      {"S", "#k", "v"},     {"S", "k", "\xC3("}, {"S\xFF", "k", "v"},
  };
  const std::string existing = PathOf("existing.ini");
  const std::string missing = PathOf("missing.ini");
  const std::string before = "[S]\r\nk=1\r\n";
  WriteBytes(existing, before);
  for (const RefusedWrite& c : cases) {
    SCOPED_TRACE("[" + c.section + "] " + c.key + "=" + c.value);
    EXPECT_FALSE(WritePrivateProfileString(c.section, c.key, c.value, existing));
    EXPECT_EQ(ReadBytes(existing), before);
    EXPECT_FALSE(WritePrivateProfileString(c.section, c.key, c.value, missing));
    EXPECT_FALSE(ReadBytes(missing).has_value());
  }
}

// ---------------------------------------------------------------------------------------
// Atomic replacement.

class IniAtomic : public TempDir {
 protected:
  void TearDown() override {
    platform::ini::SetBeforeReplaceHook(nullptr);
    TempDir::TearDown();
  }

  static inline std::optional<std::string> temporaryContents;
};

TEST_F(IniAtomic, WriteLeavesOldFileIntactWhenReplaceFails) {
  const std::string file = PathOf("presets.ini");
  const std::string before = "[PRESET_0]\r\ndz_0=5\r\n; keep me\r\n";
  WriteBytes(file, before);
  ASSERT_EQ(chmod(file.c_str(), 0640), 0);
  temporaryContents.reset();
  platform::ini::SetBeforeReplaceHook([](const std::string& temporaryPath) {
    temporaryContents = ReadBytes(temporaryPath);
    return false;
  });

  EXPECT_FALSE(WritePrivateProfileString("PRESET_0", "dz_0", "9", file));

  // The failure came after the new text was complete, and the old file did not change.
  EXPECT_EQ(temporaryContents, "[PRESET_0]\r\ndz_0=9\r\n; keep me\r\n");
  EXPECT_EQ(ReadBytes(file), before);
  EXPECT_EQ(ModeOf(file), 0640u);
  EXPECT_EQ(Entries(), std::vector<std::string>{"presets.ini"});
}

TEST_F(IniAtomic, WriteReplacesTheFileWholeAndKeepsItsPermissions) {
  const std::string file = PathOf("presets.ini");
  const std::string before = "[S]\nk=1\n";
  WriteBytes(file, before);
  ASSERT_EQ(chmod(file.c_str(), 0604), 0);
  std::ifstream oldReader(file, std::ios::binary);

  ASSERT_TRUE(WritePrivateProfileString("S", "k", "2", file));

  // A reader that had the file open still sees all of the old file: it was replaced,
  // not rewritten in place.
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(oldReader), {}), before);
  EXPECT_EQ(ReadBytes(file), "[S]\nk=2\n");
  EXPECT_EQ(ModeOf(file), 0604u);
  EXPECT_EQ(Entries(), std::vector<std::string>{"presets.ini"});
}

// 0666 less whatever umask the process has, as a plain create would give.
TEST_F(IniAtomic, NewFileGetsTheUsualPermissions) {
  const std::pair<mode_t, mode_t> cases[] = {{022, 0644}, {002, 0664}, {027, 0640}, {077, 0600}};
  for (const auto& [mask, mode] : cases) {
    SCOPED_TRACE(mask);
    const std::string file = PathOf("new.ini");
    const mode_t oldMask = umask(mask);
    const bool written = WritePrivateProfileString("S", "k", "1", file);
    umask(oldMask);
    ASSERT_TRUE(written);
    EXPECT_EQ(ModeOf(file), mode);
    ASSERT_EQ(unlink(file.c_str()), 0);
  }
}

TEST_F(IniAtomic, WriteThroughSymbolicLinkUpdatesItsTarget) {
  const std::string target = PathOf("real.ini");
  const std::string link = PathOf("link.ini");
  WriteBytes(target, "[S]\nk=1\n");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);

  ASSERT_TRUE(WritePrivateProfileString("S", "k", "2", link));

  struct stat status {};
  ASSERT_EQ(lstat(link.c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode));
  EXPECT_EQ(ReadBytes(target), "[S]\nk=2\n");
}

TEST_F(IniAtomic, WriteFailsWithoutCreatingOrReplacingAnything) {
  // A path that cannot be read as a file is never replaced by one holding only the new key.
  const std::string directory = PathOf("folder.ini");
  ASSERT_EQ(mkdir(directory.c_str(), 0755), 0);
  EXPECT_FALSE(WritePrivateProfileString("S", "k", "1", directory));
  struct stat status {};
  ASSERT_EQ(stat(directory.c_str(), &status), 0);
  EXPECT_TRUE(S_ISDIR(status.st_mode));

  EXPECT_FALSE(WritePrivateProfileString("S", "k", "1", PathOf("no/such/dir.ini")));
  EXPECT_EQ(Entries(), std::vector<std::string>{"folder.ini"});
}

// A read-only file is how a user freezes the settings: it is never replaced, also for root,
// nor through a symbolic link.
TEST_F(IniAtomic, ReadOnlyFileIsLeftAsItWas) {
  const std::string before = "[S]\r\nk=1\r\n";
  for (const mode_t mode : {0444, 0400, 0555}) {
    SCOPED_TRACE(mode);
    const std::string file = PathOf("presets.ini");
    const std::string link = PathOf("link.ini");
    WriteBytes(file, before);
    ASSERT_EQ(chmod(file.c_str(), mode), 0);
    ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);

    EXPECT_FALSE(WritePrivateProfileString("S", "k", "2", file));
    EXPECT_FALSE(WritePrivateProfileString("S", "new", "3", link));
    EXPECT_EQ(GetPrivateProfileInt("S", "k", kIntDefault, file), 1);
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(ModeOf(file), mode);
    EXPECT_EQ(Entries().size(), 2u);
    ASSERT_EQ(unlink(link.c_str()), 0);
    ASSERT_EQ(unlink(file.c_str()), 0);
  }
}

// A FIFO (or a link to one) reads as missing and is not written; nothing waits for a writer.
TEST_F(IniAtomic, FifoIsNeitherReadNorWritten) {
  const std::string fifo = PathOf("presets.ini");
  const std::string link = PathOf("link.ini");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  ASSERT_EQ(symlink(fifo.c_str(), link.c_str()), 0);
  for (const std::string& path : {fifo, link}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(GetPrivateProfileInt("CNF", "preset", kIntDefault, path), kIntDefault);
    EXPECT_EQ(GetPrivateProfileString("CNF", "preset", kStringDefault, 256, path), kStringDefault);
    EXPECT_FALSE(WritePrivateProfileString("CNF", "preset", "1", path));
  }
  struct stat status {};
  ASSERT_EQ(lstat(fifo.c_str(), &status), 0);
  EXPECT_TRUE(S_ISFIFO(status.st_mode));
  EXPECT_EQ(Entries().size(), 2u);
}

// A write killed half-way leaves its temporary file; the next write of that file removes such
// leftovers of ended processes, and nothing of running ones or of other files.
TEST_F(IniAtomic, NextWriteRemovesLeftoversOfEndedWrites) {
  const std::string file = PathOf("presets.ini");
  WriteBytes(file, "[S]\nk=1\n");
  const std::string ended = std::to_string(EndedProcess());
  const std::string running = std::to_string(getppid());
  const std::vector<std::string> removed = {
      ".presets.ini.tmp." + ended + ".0",
      ".presets.ini.tmp." + ended + ".17",
      // a staged copy of the file, and its own temporary file of a key written into it
      "..presets.ini.tmp." + ended + ".3.tmp." + ended + ".4",
  };
  std::vector<std::string> kept = {
      ".presets.ini.tmp." + running + ".0",  // a write going on now
      ".other.ini.tmp." + ended + ".0",     ".presets.ini.tmp." + ended,
      ".presets.ini.tmp.x" + ended + ".0",  ".presets.ini.bak",
      "presets.ini.tmp." + ended + ".0",    "notes.txt",
  };
  for (const std::string& name : removed) WriteBytes(PathOf(name), "left");
  for (const std::string& name : kept) WriteBytes(PathOf(name), "left");

  ASSERT_TRUE(WritePrivateProfileString("S", "k", "2", file));

  kept.push_back("presets.ini");
  std::sort(kept.begin(), kept.end());
  std::vector<std::string> entries = Entries();
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, kept);
  EXPECT_EQ(ReadBytes(file), "[S]\nk=2\n");
}

// ---------------------------------------------------------------------------------------
// The whole-file routine under the INI module: what may be read at all, the size limit, and
// that nothing but a regular file is replaced.

using platform::FileReadStatus;
using platform::ReadRegularFile;
using platform::ReplaceFileContents;
using WholeFile = TempDir;

TEST_F(WholeFile, ReadsRegularFilesOnlyWithinTheLimit) {
  const std::string file = PathOf("file.txt");
  std::ofstream(file, std::ios::binary) << "12345";
  ASSERT_EQ(symlink(file.c_str(), PathOf("link").c_str()), 0);
  ASSERT_EQ(symlink(PathOf("nowhere").c_str(), PathOf("dangling").c_str()), 0);
  ASSERT_EQ(symlink("/dev/zero", PathOf("device").c_str()), 0);
  ASSERT_EQ(mkfifo(PathOf("fifo").c_str(), 0644), 0);
  ASSERT_EQ(mkdir(PathOf("folder").c_str(), 0755), 0);

  struct Case {
    const char* name;
    std::size_t limit;
    FileReadStatus status;
  };
  const Case cases[] = {
      {"file.txt", platform::kNoFileSizeLimit, FileReadStatus::kRead},
      {"file.txt", 5, FileReadStatus::kRead},
      {"file.txt", 4, FileReadStatus::kTooLarge},
      {"link", 5, FileReadStatus::kRead},
      {"missing", 5, FileReadStatus::kMissing},
      {"dangling", 5, FileReadStatus::kMissing},
      {"device", 5, FileReadStatus::kNotRegular},
      {"fifo", 5, FileReadStatus::kNotRegular},
      {"folder", 5, FileReadStatus::kNotRegular},
      {"file.txt/below", 5, FileReadStatus::kFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " limit " + std::to_string(c.limit));
    const platform::FileContents contents = ReadRegularFile(PathOf(c.name), c.limit);
    EXPECT_EQ(contents.status, c.status);
    EXPECT_EQ(contents.bytes, c.status == FileReadStatus::kRead ? "12345" : "");
  }
}

TEST_F(WholeFile, ReplacesNothingButRegularFiles) {
  ASSERT_EQ(mkfifo(PathOf("fifo").c_str(), 0644), 0);
  ASSERT_EQ(symlink("/dev/null", PathOf("device").c_str()), 0);
  ASSERT_EQ(mkdir(PathOf("folder").c_str(), 0755), 0);
  for (const char* name : {"fifo", "device", "folder"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(ReplaceFileContents(PathOf(name), "bytes"));
  }
  struct stat status {};
  ASSERT_EQ(lstat(PathOf("fifo").c_str(), &status), 0);
  EXPECT_TRUE(S_ISFIFO(status.st_mode));
  ASSERT_EQ(lstat(PathOf("device").c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode));
}

}  // namespace
