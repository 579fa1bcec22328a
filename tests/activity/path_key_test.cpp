#include "activity/path_key.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "activity/key_tables.h"
#include "platform/ansi.h"

namespace activity {
namespace {

using Words = std::vector<std::uint16_t>;

// ---- a reference written straight from the algorithm's steps ------------------------
// Deliberately naive: a combined string, byte tables, an explicit rotation, a byte work
// buffer. The fast and batched forms must agree with it bit for bit.

// The capital of a byte read as a Windows-1252 character.
unsigned char ReferenceUpper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 0x20;
  if (c == 0x9A || c == 0x9C || c == 0x9E) return c - 0x10;
  if (c == 0xFF) return 0x9F;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  return c;
}

// UTF-8 upper-cased the slow way: decode each character, take its 1252 capital, encode
// it again. Longer characters have no 1252 capital and bytes that are not UTF-8 stay.
std::string ReferenceUpper(const std::string& text) {
  std::string upper;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const bool pair = (c & 0xE0) == 0xC0 && i + 1 < text.size() && (text[i + 1] & 0xC0) == 0x80;
    if (!pair) {
      upper += static_cast<char>(c < 0x80 ? ReferenceUpper(c) : c);
      continue;
    }
    char32_t code = (c & 0x1Fu) << 6 | (text[++i] & 0x3Fu);
    if (code >= 0xE0 && code <= 0xFE && code != 0xF7) code -= 0x20;
    else if (code == 0xFF) code = 0x178;
    else if (code == 0x153 || code == 0x161 || code == 0x17E) code -= 1;
    upper += static_cast<char>(0xC0 | code >> 6);
    upper += static_cast<char>(0x80 | (code & 0x3F));
  }
  return upper;
}

Words ReferenceKeyText(const std::string& path, const NetworkNames& names) {
  std::string network;
  if (!path.empty() && std::isalpha(static_cast<unsigned char>(path[0]))) {
    network = names[std::toupper(static_cast<unsigned char>(path[0])) - 'A'];
  }
  const std::string combined = path.substr(0, 2) + network + (path.size() > 2 ? path.substr(2) : "");
  const std::string upper = ReferenceUpper(combined);

  Words text = {0, 4};
  const std::size_t first = combined.find('\\');
  std::size_t lengthIndex = 0;
  if (first != std::string::npos) {
    for (std::size_t i = first; i < upper.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(upper[i]);
      if (c == '\\') {
        if (i != first) text[1] = static_cast<std::uint16_t>(text[1] + text[lengthIndex]);
        lengthIndex = text.size();
        text.push_back(2);
      } else {
        const int widened = c >= 0x80 ? c - 256 : c;  // sign extension
        text.push_back(static_cast<std::uint16_t>(widened));
        text[lengthIndex] = static_cast<std::uint16_t>(text[lengthIndex] + 2);
      }
    }
  }
  text.push_back(0);
  text[0] = static_cast<std::uint16_t>(2 * text.size() - 2);
  return text;
}

std::uint32_t ReadLittleEndian(const std::uint8_t* bytes) {
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::uint64_t ReferenceHash(const Words& text) {
  const std::uint16_t total = static_cast<std::uint16_t>(text[0] + 2);
  if (total > 1024) return 0;
  const std::size_t blocks = (total + 7) / 8;
  std::uint8_t work[1024] = {};
  for (std::size_t i = 0; i < total; ++i) work[i] = static_cast<std::uint8_t>(text[i / 2] >> (8 * (i % 2)));
  const auto& T = SubstitutionTables;
  std::uint32_t n1 = 0, n2 = 0;
  for (int pass = 0; pass < 5; ++pass) {
    for (std::size_t block = 0; block < blocks; ++block) {
      for (int r = 0; r < 16; ++r) {
        std::uint32_t t = n1 + ReadLittleEndian(&KeyTable[4 * (r % 8)]);
        t = T[0][t & 0xFF] | T[3][(t >> 8) & 0xFF] << 8 | T[2][(t >> 16) & 0xFF] << 16 |
            static_cast<std::uint32_t>(T[1][t >> 24]) << 24;
        t = (t << 11) | (t >> 21);
        const std::uint32_t oldN1 = n1;
        n1 = t ^ n2;
        n2 = oldN1;
      }
      n1 ^= ReadLittleEndian(&work[8 * block]);
      n2 ^= ReadLittleEndian(&work[8 * block + 4]);
    }
  }
  return n1 + (std::uint64_t{n2} << 32);
}

std::uint64_t ReferenceKey(const std::string& path, const NetworkNames& names) {
  const Words text = ReferenceKeyText(path, names);
  return text.size() * 2 > 1024 ? 0 : ReferenceHash(text);
}

Words Text(std::initializer_list<int> words) { return Words(words.begin(), words.end()); }
Words Chars(std::string_view s) { return Words(s.begin(), s.end()); }
Words Join(std::initializer_list<Words> parts) {
  Words all;
  for (const Words& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// ---- the tables ------------------------------------------------------------------------

std::uint32_t Substitute(std::uint32_t t) {
  const auto& T = SubstitutionTables;
  return T[0][t & 0xFF] | T[3][(t >> 8) & 0xFF] << 8 | T[2][(t >> 16) & 0xFF] << 16 |
         static_cast<std::uint32_t>(T[1][t >> 24]) << 24;
}

TEST(KeyTables, SubstitutionIsThePublishedGostTransform) {
  // Test vectors of the 32-bit transform t and of g[k](a) = rotl11(t(a + k)) from
  // GOST R 34.12-2015.
  EXPECT_EQ(Substitute(0xfdb97531), 0x2a196f34u);
  EXPECT_EQ(Substitute(0x2a196f34), 0xebd9f03au);
  EXPECT_EQ(Substitute(0xebd9f03a), 0xb039bb3du);
  EXPECT_EQ(Substitute(0xb039bb3d), 0x68695433u);
  const auto g = [](std::uint32_t k, std::uint32_t a) { return std::rotl(Substitute(a + k), 11); };
  EXPECT_EQ(g(0x87654321, 0xfedcba98), 0xfdcbc20cu);
  EXPECT_EQ(g(0xfdcbc20c, 0x87654321), 0x7e791a4bu);
  EXPECT_EQ(g(0x7e791a4b, 0xfdcbc20c), 0xc76549ecu);
  EXPECT_EQ(g(0xc76549ec, 0x7e791a4b), 0x9791c849u);
}

TEST(KeyTables, FoldedRoundTablesEqualSubstitutionThenRotation) {
  std::mt19937 random(7);
  const auto& B = RoundTables.byPosition;
  for (int i = 0; i < 100000; ++i) {
    const std::uint32_t t = random();
    const std::uint32_t folded = B[0][t & 0xFF] ^ B[1][(t >> 8) & 0xFF] ^ B[2][(t >> 16) & 0xFF] ^ B[3][t >> 24];
    ASSERT_EQ(folded, std::rotl(Substitute(t), 11)) << std::hex << t;
  }
}

TEST(KeyTables, KeysArePinned) {
  // Databases on disk hold these keys: a change to the tables or the hash would orphan
  // every stored record, so it must be deliberate.
  const NetworkNames none{};
  EXPECT_EQ(PathKey("C:\\A.TXT", none), ReferenceKey("C:\\A.TXT", none));
  EXPECT_EQ(PathKey("C:\\A.TXT", none), 0x3557a2a8c3b970e5ull);
  EXPECT_EQ(PathKey("D:\\Program Files\\Norvex\\norvex.exe", none), 0x28027a475112371bull);

  // Keys of plain ASCII paths, taken before upper-casing learnt UTF-8: they must never
  // move. Lower case, every printable and control character, a network drive, the
  // longest hashed text and the first one too long.
  std::string everyAscii;
  for (int c = 1; c < 128; ++c) {
    if (c != '\\') everyAscii += static_cast<char>(c);
  }
  const std::pair<std::string, std::uint64_t> known[] = {
      {"c:\\a.txt", 0x3557a2a8c3b970e5ull},
      {"D:\\home\\user\\Documents\\report-2024_final (2).odt", 0xfddbeedc40b1411aull},
      {"E:\\usr\\lib\\x86_64-linux-gnu\\libQt6Widgets.so.6.4.2", 0xc02ef4fe65a51dfdull},
      {"D:\\", 0xa6f55f4270e07e96ull},
      {"D:\\dir\\", 0x6f16c3246aa401eaull},
      {"D:\\~!@#$%^&()_+{}[];',.=`", 0x88f83df4d47e921full},
      {"D:\\" + everyAscii, 0x7b1d4dcc1852c849ull},
      {"D:\\" + std::string(508, 'x'), 0xd23099363ce9d6ebull},
      {"D:\\" + std::string(509, 'x'), 0},
      {"D:\\a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l\\m\\n\\o\\p\\q\\r\\s\\t\\u\\v\\w\\x\\y\\z", 0x037be830cff242ebull},
  };
  for (const auto& [path, key] : known) EXPECT_EQ(PathKey(path, none), key) << path;
  NetworkNames network{};
  network['N' - 'A'] = "\\fileserver\\Public Share";
  EXPECT_EQ(PathKey("N:\\Reports\\q1.xls", network), 0x948265f39adf07c2ull);
}

// ---- ANSI upper-casing -----------------------------------------------------------------

TEST(CharUpperA, FollowsWindows1252ForEveryByte) {
  int changed = 0;
  for (int c = 0; c < 256; ++c) {
    const auto upper = static_cast<unsigned char>(platform::CharUpperA(static_cast<char>(c)));
    EXPECT_EQ(upper, ReferenceUpper(static_cast<unsigned char>(c))) << c;
    changed += upper != c;
  }
  EXPECT_EQ(changed, 26 + 4 + 30);
}

TEST(CharUpperA, UpperCasesUtf8ByCharactersNotBytes) {
  using platform::CharUpperA;
  EXPECT_EQ(CharUpperA("a\u00fa\u00e9\u00ff\u0153\u0161\u017e\u00e0\u00fe"),
            "A\u00da\u00c9\u0178\u0152\u0160\u017d\u00c0\u00de");
  // Capitals stay capitals (the bytes of Ú once became Ê); ß, µ and ÷ have no capital
  // in 1252; letters 1252 cannot hold keep their case.
  EXPECT_EQ(CharUpperA("\u00da\u00dc\u00df\u00b5\u00f7\u0131\u03b1\u0436\u20ac"),
            "\u00da\u00dc\u00df\u00b5\u00f7\u0131\u03b1\u0436\u20ac");
  // Bytes that are not UTF-8 pass unchanged: Latin-1 bytes, a lead byte before a
  // non-continuation byte or at the very end.
  EXPECT_EQ(CharUpperA("\xe9\xff\x9a\xc3x\xc5\xc3\xa9\xc3"), "\xe9\xff\x9a\xc3X\xc5\xc3\x89\xc3");
}

// ---- key text layout ---------------------------------------------------------------------

TEST(BuildKeyText, LocalPaths) {
  const NetworkNames none{};
  // A root file: one component.
  EXPECT_EQ(BuildKeyText("C:\\a.txt", none), Join({Text({16, 4, 12}), Chars("A.TXT"), Text({0})}));
  // Folders and file: word 1 points at the last component's length word.
  EXPECT_EQ(BuildKeyText("C:\\Dir\\Sub\\f.c", none),
            Join({Text({28, 20, 8}), Chars("DIR"), Text({8}), Chars("SUB"), Text({8}), Chars("F.C"), Text({0})}));
  // A trailing backslash ends with an empty component.
  EXPECT_EQ(BuildKeyText("C:\\Dir\\", none), Join({Text({14, 12, 8}), Chars("DIR"), Text({2, 0})}));
  EXPECT_EQ(BuildKeyText("C:\\", none), Text({6, 4, 2, 0}));
  // Nothing after a missing backslash is keyed (the program never builds such a path).
  EXPECT_EQ(BuildKeyText("C:", none), Text({4, 4, 0}));
  EXPECT_EQ(BuildKeyText("", none), Text({4, 4, 0}));
}

TEST(BuildKeyText, NetworkNamesComeFirst) {
  NetworkNames names{};
  names['C' - 'A'] = "\\server\\share";
  const Words expected =
      Join({Text({42, 30, 14}), Chars("SERVER"), Text({12}), Chars("SHARE"), Text({12}), Chars("A.TXT"), Text({0})});
  EXPECT_EQ(BuildKeyText("C:\\a.txt", names), expected);
  EXPECT_EQ(BuildKeyText("c:\\a.txt", names), expected);  // the letter's case does not matter
  // Without the leading backslash the server name lies before the first backslash.
  names['C' - 'A'] = "server\\share";
  EXPECT_EQ(BuildKeyText("C:\\a.txt", names),
            Join({Text({28, 16, 12}), Chars("SHARE"), Text({12}), Chars("A.TXT"), Text({0})}));
  // Other drives are untouched.
  EXPECT_EQ(BuildKeyText("D:\\a.txt", names), BuildKeyText("D:\\a.txt", NetworkNames{}));
}

TEST(BuildKeyText, Utf8IsUpperCasedByCharacterThenEachByteSignExtended) {
  const NetworkNames none{};
  // é -> É, ÷ stays, ÿ -> Ÿ (another lead byte, the same length).
  EXPECT_EQ(BuildKeyText("C:\\\u00e9\u00f7\u00ff", none),
            Text({18, 4, 14, 0xFFC3, 0xFF89, 0xFFC3, 0xFFB7, 0xFFC5, 0xFFB8, 0}));
  EXPECT_EQ(BuildKeyText("C:\\\u00df", none), Text({10, 4, 6, 0xFFC3, 0xFF9F, 0}));  // ß stays
  EXPECT_EQ(BuildKeyText("C:\\\xe9\x80\xff", none), Text({12, 4, 8, 0xFFE9, 0xFF80, 0xFFFF, 0}));
}

// ---- keys ----------------------------------------------------------------------------

TEST(PathKey, DistinctNonAsciiNamesKeepDistinctKeysAndCaseFoldsByCharacter) {
  const NetworkNames none{};
  const auto key = [&none](std::string_view name) { return PathKey("D:\\" + std::string(name) + ".txt", none); };
  EXPECT_NE(key("\u00da"), key("\u00ca"));  // Ú, Ê
  EXPECT_NE(key("\u00dc"), key("\u00cc"));  // Ü, Ì
  const std::pair<std::string_view, std::string_view> sameFile[] = {
      {"\u00fa", "\u00da"}, {"\u00e9", "\u00c9"}, {"\u00ff", "\u0178"}, {"\u0153", "\u0152"}};
  for (const auto& [lower, upper] : sameFile) EXPECT_EQ(key(lower), key(upper)) << lower;
}

TEST(PathKey, CaseAndDriveLetterDoNotMatterButNetworkNamesDo) {
  NetworkNames names{};
  const std::uint64_t key = PathKey("C:\\Work\\Report.doc", names);
  EXPECT_NE(key, 0u);
  EXPECT_EQ(PathKey("c:\\WORK\\report.DOC", names), key);
  EXPECT_EQ(PathKey("E:\\Work\\Report.doc", names), key);
  EXPECT_EQ(PathKey("C:\\Work\\\u00e9t\u00e9.doc", names), PathKey("C:\\WORK\\\u00c9T\u00c9.DOC", names));
  names['E' - 'A'] = "\\server\\share";
  EXPECT_NE(PathKey("E:\\Work\\Report.doc", names), key);
  EXPECT_NE(PathKey("C:\\Work\\Report.doc", names), PathKey("C:\\Work\\Report.do", names));
}

std::string PathWithKeyedLength(std::size_t keyedLength) {
  std::string path = "C:\\";
  while (path.size() - 2 < keyedLength) path += (path.size() % 9 == 0) ? '\\' : static_cast<char>('a' + path.size() % 26);
  return path;
}

TEST(PathKey, TextsUpTo1024BytesAreHashedLongerOnesGiveZero) {
  const NetworkNames none{};
  const std::string longest = PathWithKeyedLength(509);  // 512 words: 1024 bytes
  const std::string tooLong = PathWithKeyedLength(510);  // 1026 bytes
  ASSERT_EQ(BuildKeyText(longest, none).size() * 2, 1024u);
  EXPECT_NE(PathKey(longest, none), 0u);
  EXPECT_EQ(PathKey(longest, none), ReferenceKey(longest, none));
  EXPECT_EQ(HashKeyText(BuildKeyText(longest, none)), PathKey(longest, none));
  EXPECT_EQ(PathKey(tooLong, none), 0u);
  EXPECT_EQ(HashKeyText(BuildKeyText(tooLong, none)), 0u);
  // A network name counts toward the limit.
  NetworkNames names{};
  names[2] = "\\s";
  EXPECT_EQ(PathKey(PathWithKeyedLength(508), names), 0u);
  EXPECT_NE(PathKey(PathWithKeyedLength(507), names), 0u);
  // A path so long that word 0 wraps in 16 bits must not hash a prefix.
  EXPECT_EQ(PathKey(PathWithKeyedLength(32768 + 5), none), 0u);
  EXPECT_EQ(HashKeyText(BuildKeyText(PathWithKeyedLength(32768 + 5), none)), 0u);
}

TEST(HashKeyText, HashesTheBytesWord0CountsPaddedWithZeros) {
  // Every padding length: texts of 3 to 20 words against the reference.
  const NetworkNames none{};
  for (std::size_t keyed = 0; keyed < 18; ++keyed) {
    const std::string path = PathWithKeyedLength(keyed);
    EXPECT_EQ(HashKeyText(BuildKeyText(path, none)), ReferenceKey(path, none)) << keyed;
  }
  // An 8-byte text is one block: trailing words beyond word 0's count are not hashed,
  // and a text that claims more bytes than it has reads zeros.
  const Words text = Text({6, 4, 4, 'X'});
  EXPECT_EQ(HashKeyText(Text({6, 4, 4, 'X', 0x1234})), HashKeyText(text));
  EXPECT_EQ(HashKeyText(Text({14, 4, 4, 'X'})), HashKeyText(Text({14, 4, 4, 'X', 0, 0, 0, 0})));
  EXPECT_NE(HashKeyText(Text({14, 4, 4, 'X'})), HashKeyText(text));
  EXPECT_EQ(HashKeyText(Words{}), 0u);
}

constexpr std::string_view kPathAlphabet =
    "abcXYZ019 ._-~\\\\\\\x80\x9a\xe9\xff\xf7\xdf\xc3\xc3\xc5\xa9\xbf\x93\xbe\xb7\xa1";
// Every ASCII byte whose case or kind the builders treat apart, around both ends of a-z.
constexpr std::string_view kAsciiAlphabet = "`az{@AZ[019 ._-~\\\\\\\x01\x7f";

std::string RandomPath(std::mt19937& random, std::string_view kAlphabet = kPathAlphabet) {
  std::string path;
  path += static_cast<char>((random() % 2 ? 'A' : 'a') + random() % 26);
  path += ':';
  if (random() % 16 != 0) path += '\\';  // now and then a path without one
  const std::size_t length = random() % 4 == 0 ? random() % 560 : random() % 120;
  for (std::size_t i = 0; i < length; ++i) path += kAlphabet[random() % kAlphabet.size()];
  return path;
}

NetworkNames SomeNetworkNames() {
  NetworkNames names{};
  names['B' - 'A'] = "\\server\\share";
  names['F' - 'A'] = "host\\Vol\xe9";
  names['Z' - 'A'] = "\\\\odd";
  return names;
}

TEST(PathKey, SingleAndBatchedFormsMatchTheReference) {
  std::mt19937 random(2024);
  const NetworkNames names = SomeNetworkNames();
  std::vector<std::string> paths;
  for (int i = 0; i < 2000; ++i) paths.push_back(RandomPath(random));

  std::vector<std::uint64_t> expected;
  for (const std::string& path : paths) {
    expected.push_back(ReferenceKey(path, names));
    ASSERT_EQ(BuildKeyText(path, names), ReferenceKeyText(path, names)) << path;
    ASSERT_EQ(PathKey(path, names), expected.back()) << path;
    ASSERT_EQ(HashKeyText(BuildKeyText(path, names)), expected.back()) << path;
  }
  // Batches of every small size and a few large ones, so lanes finish at all offsets.
  for (std::size_t batch : {1, 2, 3, 4, 5, 6, 7, 8, 9, 13, 33, 100, 2000}) {
    for (std::size_t start = 0; start + batch <= paths.size(); start += batch * 7 + 1) {
      std::vector<std::string_view> views(paths.begin() + start, paths.begin() + start + batch);
      std::vector<std::uint64_t> keys(batch, 0xDEAD);
      PathKeys(views, names, keys);
      for (std::size_t i = 0; i < batch; ++i) ASSERT_EQ(keys[i], expected[start + i]) << paths[start + i];
    }
  }
  std::vector<std::uint64_t> none;
  PathKeys({}, names, none);
  std::vector<std::uint64_t> wrongSize(2);
  std::vector<std::string_view> one = {paths[0]};
  EXPECT_THROW(PathKeys(one, names, wrongSize), std::invalid_argument);
}

TEST(PathKey, ThreadsHashingAtOnceGetTheSameKeys) {
  std::mt19937 random(99);
  const NetworkNames names = SomeNetworkNames();
  std::vector<std::string> paths;
  for (int i = 0; i < 1000; ++i) paths.push_back(RandomPath(random));
  const std::vector<std::string_view> views(paths.begin(), paths.end());
  std::vector<std::uint64_t> expected(paths.size());
  for (std::size_t i = 0; i < paths.size(); ++i) expected[i] = PathKey(paths[i], names);

  constexpr int kThreads = 4;
  std::vector<std::vector<std::uint64_t>> single(kThreads), batched(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (const std::string& path : paths) single[t].push_back(PathKey(path, names));
      batched[t].resize(paths.size());
      PathKeys(views, names, batched[t]);
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(single[t], expected);
    EXPECT_EQ(batched[t], expected);
  }
}

TEST(WriteKeyWords, EveryBuilderWritesTheScalarWordsBitForBit) {
  constexpr std::uint32_t kSeed = 7;
  SCOPED_TRACE("corpus seed " + std::to_string(kSeed));
  std::mt19937 random(kSeed);
  NetworkNames names = SomeNetworkNames();
  names['A' - 'A'] = "\\ascii\\share";
  std::vector<std::string> paths;
  for (int i = 0; i < 3000; ++i) paths.push_back(RandomPath(random, i % 2 == 0 ? kPathAlphabet : kAsciiAlphabet));
  // Non-ASCII only at the very end, past a vector's worth of ASCII.
  paths.push_back("C:\\" + std::string(40, 'a') + "\xe9");
  using Buffer = std::array<std::uint32_t, kKeyTextLimit / 4>;
  for (const TextBuilder builder : kAllTextBuilders) {
    if (!TextBuilderRuns(builder)) continue;
    SCOPED_TRACE(TextBuilderName(builder));
    for (const std::string& path : paths) {
      Buffer expected;
      Buffer written;
      expected.fill(0xA5A5A5A5);
      written.fill(0x5A5A5A5A);  // garbage the padding must overwrite
      const std::size_t blocks = WriteKeyWords(TextBuilder::Scalar, path, names, expected);
      ASSERT_EQ(WriteKeyWords(builder, path, names, written), blocks) << path;
      ASSERT_TRUE(std::equal(written.begin(), written.begin() + 2 * blocks, expected.begin())) << path;
    }
  }
}

TEST(NetworkNameFromConnection, DropsTheFirstBackslashOnly) {
  EXPECT_EQ(NetworkNameFromConnection("\\\\server\\share"), "\\server\\share");
  EXPECT_EQ(NetworkNameFromConnection("server\\share"), "server\\share");
  EXPECT_EQ(NetworkNameFromConnection(""), "");
}

}  // namespace
}  // namespace activity
