//===- install_reader.cpp - Key lookups with lines, as the module reads ----===//
#include "install_reader.h"

namespace ncsheet::install {
namespace {

constexpr char kCtrlZ = '\x1A';
constexpr int kEnd = -1;

[[nodiscard]] bool is_separator(int c) noexcept { return c == ' ' || c == ',' || c == '\n'; }

/// Characters of a text with the line each one stands on.
class Cursor {
public:
  explicit Cursor(std::string_view text) : text_(text) {}

  /// The next character, or kEnd; line() is then the line it stood on.
  int next() noexcept {
    if (pos_ >= text_.size())
      return kEnd;
    if (pending_line_feed_) {
      ++line_;
      pending_line_feed_ = false;
    }
    const char c = text_[pos_++];
    pending_line_feed_ = c == '\n';
    return static_cast<unsigned char>(c);
  }
  [[nodiscard]] int line() const noexcept { return line_; }
  [[nodiscard]] std::size_t pos() const noexcept { return pos_; }
  [[nodiscard]] std::string_view text() const noexcept { return text_; }

private:
  std::string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
  bool pending_line_feed_ = false;
};

/// Reads until the current word equals key, as the module does.
KeyPlace find_key(Cursor &in, std::string_view key) {
  KeyPlace place;
  std::size_t len = 0;
  std::size_t word_start = 0;
  int word_line = 1;
  for (;;) {
    const int c = in.next();
    if (c == kEnd)
      return place;
    if (is_separator(c) || len >= kWordMax) {
      len = 0;
    } else {
      if (len == 0) {
        word_start = in.pos() - 1;
        word_line = in.line();
      }
      ++len;
    }
    if (len == key.size() && in.text().substr(word_start, len) == key)
      break;
  }
  place.found = true;
  place.line = word_line;
  for (std::size_t i = word_start; i > 0; --i) {
    const char before = in.text()[i - 1];
    if (before == '\n')
      break;
    if (before != ' ' && before != ',') {
      place.starts_line = false;
      break;
    }
  }
  return place;
}

} // namespace

std::string text_mode(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == kCtrlZ)
      break;
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
      continue; // the line feed comes next
    out += c;
  }
  return out;
}

MessageLookup lookup_message(std::string_view text, std::string_view key) {
  Cursor in(text);
  MessageLookup found;
  found.key = find_key(in, key);
  if (!found.key.found)
    return found;
  for (;;) {
    const int c = in.next();
    if (c == kEnd)
      return found;
    if (c == '\n') {
      if (found.text.empty())
        continue;
      break;
    }
    if (found.text.size() >= kWordMax) {
      found.cut = true;
      break;
    }
    if (found.text.empty())
      found.line = in.line();
    found.text += static_cast<char>(c);
  }
  found.ended = true;
  return found;
}

ValueLookup lookup_value(std::string_view text, std::string_view key, bool numeric) {
  Cursor in(text);
  ValueLookup found;
  found.key = find_key(in, key);
  if (!found.key.found)
    return found;
  for (;;) {
    const int c = in.next();
    if (c == kEnd)
      return found;
    if (is_separator(c)) {
      if (found.word.empty())
        continue;
      break;
    }
    if (found.word.size() >= kWordMax)
      break;
    if (found.word.empty())
      found.line = in.line();
    found.word += static_cast<char>(c);
    if (numeric && found.word == "EOF") {
      found.eof_word = true;
      break;
    }
  }
  found.ended = true;
  return found;
}

} // namespace ncsheet::install
