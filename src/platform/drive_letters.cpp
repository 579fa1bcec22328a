#include "platform/drive_letters.h"

#include <algorithm>
#include <array>

namespace platform {
namespace {

std::string Escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\t' || c == '\n' || c == '\\') {
      const auto byte = static_cast<unsigned char>(c);
      out += '\\';
      out += static_cast<char>('0' + (byte >> 6));
      out += static_cast<char>('0' + ((byte >> 3) & 7));
      out += static_cast<char>('0' + (byte & 7));
    } else {
      out += c;
    }
  }
  return out;
}

std::optional<std::string> Unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (i + 3 >= text.size()) return std::nullopt;
    int value = 0;
    for (std::size_t k = 1; k <= 3; ++k) {
      if (text[i + k] < '0' || text[i + k] > '7') return std::nullopt;
      value = value * 8 + (text[i + k] - '0');
    }
    if (value > 255) return std::nullopt;
    out += static_cast<char>(value);
    i += 3;
  }
  return out;
}

}  // namespace

SavedLetters ParseDriveLetters(std::string_view text) {
  SavedLetters saved;
  std::size_t start = 0;
  int lineNumber = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (line.empty() || line.starts_with('#')) continue;
    const std::size_t tab1 = line.find('\t');
    const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
    const auto fail = [&](const std::string& why) {
      saved.letters.clear();
      saved.damage = "line " + std::to_string(lineNumber) + ": " + why;
      return saved;
    };
    if (tab2 == std::string_view::npos || line.find('\t', tab2 + 1) != std::string_view::npos) {
      return fail("expected a letter, an identity and a folder separated by tabs");
    }
    const std::string_view letter = line.substr(0, tab1);
    if (letter.size() != 1 || letter[0] < 'A' || letter[0] > 'Z' || letter[0] == 'C') {
      return fail("bad drive letter '" + std::string(letter) + "'");
    }
    const auto identity = Unescaped(line.substr(tab1 + 1, tab2 - tab1 - 1));
    const auto root = Unescaped(line.substr(tab2 + 1));
    if (!identity || identity->empty() || !root) return fail("bad escape or empty identity");
    // One filesystem may stand behind several letters a drive map gave out (two folders
    // of one disk); a letter stands for one filesystem only.
    const bool taken = std::any_of(saved.letters.begin(), saved.letters.end(),
                                   [&](const LetterAssignment& a) { return a.letter == letter[0]; });
    if (taken) return fail("letter given twice");
    saved.letters.push_back({letter[0], *identity, *root});
  }
  return saved;
}

std::string FormatDriveLetters(const std::vector<LetterAssignment>& letters) {
  std::string text = "# Drive letters and the filesystems they stand for: letter, identity, last folder.\n";
  for (const LetterAssignment& a : letters) {
    text += a.letter;
    text += '\t' + Escaped(a.identity) + '\t' + Escaped(a.lastRoot) + '\n';
  }
  return text;
}

LetterOutcome AssignLetters(const std::vector<ChosenFilesystem>& chosen, const std::vector<LetterAssignment>& saved) {
  LetterOutcome outcome;
  std::array<std::optional<LetterAssignment>, 26> byLetter{};
  std::array<bool, 26> present{};
  for (const LetterAssignment& a : saved) byLetter[static_cast<std::size_t>(a.letter - 'A')] = a;
  std::vector<std::size_t> newcomers;
  for (std::size_t c = 0; c < chosen.size(); ++c) {
    const auto held = std::find_if(byLetter.begin(), byLetter.end(), [&](const auto& a) {
      return a && a->identity == chosen[c].identity;
    });
    if (held == byLetter.end()) {
      newcomers.push_back(c);
      continue;
    }
    present[static_cast<std::size_t>(held - byLetter.begin())] = true;
    if ((*held)->lastRoot != chosen[c].mount.target) {
      (*held)->lastRoot = chosen[c].mount.target;
      outcome.changed = true;
    }
  }
  for (const std::size_t c : newcomers) {
    std::size_t free = 'D' - 'A';
    while (free < byLetter.size() && byLetter[free]) ++free;
    if (free == byLetter.size()) {
      outcome.withoutLetter.push_back(c);
      continue;
    }
    byLetter[free] = LetterAssignment{static_cast<char>('A' + free), chosen[c].identity, chosen[c].mount.target};
    present[free] = true;
    outcome.changed = true;
  }
  for (std::size_t l = 0; l < byLetter.size(); ++l) {
    if (!byLetter[l]) continue;
    outcome.letters.push_back(*byLetter[l]);
    outcome.drives.push_back({byLetter[l]->letter, byLetter[l]->identity, byLetter[l]->lastRoot, present[l]});
  }
  return outcome;
}

}  // namespace platform
