//===- install_reader.h - Key lookups with lines, as the module reads ------===//
//
// The language and definition files of an installation are streams of
// words split at blanks, commas and line feeds; a key is found where the
// word being read first equals it (so also at the start of a longer word),
// and its message is the rest of its line, its value the next word.  These
// lookups follow the module's word scanner character for character and
// also say on which lines they found what, for the installation checker.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_CLI_INSTALL_READER_H
#define NCSHEET_CLI_INSTALL_READER_H

#include <string>
#include <string_view>

namespace ncsheet::install {

/// Longest word or message the module keeps.
inline constexpr std::size_t kWordMax = 255;

/// A file's bytes as the host's runtime gives them to a text-mode reader:
/// CR LF comes as LF, and a Ctrl-Z ends the file.
[[nodiscard]] std::string text_mode(std::string_view bytes);

/// Where a key was found.
struct KeyPlace {
  bool found = false;
  int line = 0;            ///< line of the key's first character, from 1
  bool starts_line = true; ///< only blanks and commas before it on its line
};

struct MessageLookup {
  KeyPlace key;
  bool ended = false; ///< the message ended before the file did
  int line = 0;       ///< line of the message's first character
  std::string text;   ///< as the module returns it
  bool cut = false;   ///< longer than kWordMax: the rest is dropped
};

struct ValueLookup {
  KeyPlace key;
  bool ended = false; ///< the word ended before the file did
  int line = 0;       ///< line of the word's first character
  std::string word;
  bool eof_word = false; ///< numeric: the word EOF stopped the lookup
};

/// The message of key in text (already in text mode).
[[nodiscard]] MessageLookup lookup_message(std::string_view text, std::string_view key);

/// The value word of key in text (already in text mode); numeric lookups
/// stop at a word beginning EOF, as the number reader does.
[[nodiscard]] ValueLookup lookup_value(std::string_view text, std::string_view key, bool numeric);

} // namespace ncsheet::install

#endif
