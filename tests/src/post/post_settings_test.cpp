// The saved dialog settings record: its exact 192-byte layout and the
// repair of a damaged record.
#include "post/post.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <tuple>

namespace {

using Bytes = std::array<unsigned char, DIALOG_SETTINGS_SIZE>;

void put_le(Bytes &bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[offset + i] = static_cast<unsigned char>((value >> (8 * i)) & 0xFFu);
}

// A record as a valid file holds it: texts terminated, zeros after them.
Bytes valid_bytes(int layer) {
  Bytes bytes{};
  std::memcpy(bytes.data(), "M2612", 5);
  std::memcpy(bytes.data() + 80, "insert_a", 8);
  const std::uint32_t ints[] = {
      1, static_cast<std::uint32_t>(layer), 7, 0x11223344u, 4, 6, 1, 0xFFFFFFFEu}; // the last: -2
  for (std::size_t i = 0; i < 8; ++i)
    put_le(bytes, 160 + 4 * i, ints[i]);
  return bytes;
}

dialog_settings read(const Bytes &bytes) {
  dialog_settings record;
  settings_unpack(bytes.data(), &record);
  return record;
}

// Fields read little-endian from their fixed offsets and packed back
// byte for byte; layers 10 and 26 are a line feed and a Ctrl-Z byte.
TEST(SettingsRecord, RoundTripIsByteExact) {
  for (int layer : {10, 26, 1, 256}) {
    SCOPED_TRACE(layer);
    const Bytes in = valid_bytes(layer);
    dialog_settings record = read(in);
    EXPECT_STREQ(record.str_0, "M2612");
    EXPECT_STREQ(record.str_1, "insert_a");
    EXPECT_EQ(std::tuple(record.radio_4, record.int_3, record.option_6, record.reserved_172,
                         record.radio_7, record.option_9, record.toggle_8, record.reserved_188),
              std::tuple(1, layer, 7, 0x11223344, 4, 6, 1, -2));
    Bytes out{};
    settings_pack(&record, out.data());
    EXPECT_EQ(out, in);
  }
}

// Neither text terminated: each cut to 79 bytes, a double-byte character
// across the cut dropped whole (bytes 77 to 79 of each field as given).
TEST(SettingsRecord, DamagedTextsAreTerminated) {
  const std::pair<std::string, std::string> cases[] = {
      {"AAA", std::string(79, 'A')},
      {"\xB3\xCC\xB3", std::string(77, 'A') + "\xB3\xCC"},
      {"A\xB3\xCC", std::string(78, 'A')},
  };
  for (const auto &[bytes_77_to_79, str_0] : cases) {
    SCOPED_TRACE(str_0.size());
    Bytes bytes = valid_bytes(253);
    std::memset(bytes.data(), 'A', 160);
    std::memcpy(bytes.data() + 77, bytes_77_to_79.data(), 3);
    std::memcpy(bytes.data() + 80 + 77, bytes_77_to_79.data(), 3);
    const dialog_settings record = read(bytes);
    EXPECT_EQ(std::string(record.str_0), str_0);
    EXPECT_EQ(std::string(record.str_1), str_0);
  }
}

// A choice outside its list reads as the first; the layer is not a choice
// (the dialog's OK refuses a bad one).
TEST(SettingsRecord, ChoicesOutsideTheirListsBecomeDefaults) {
  // offset, field, the largest choice
  const std::tuple<std::size_t, int dialog_settings::*, std::uint32_t> cases[] = {
      {160, &dialog_settings::radio_4, 1},  {168, &dialog_settings::option_6, 7},
      {176, &dialog_settings::radio_7, 4},  {180, &dialog_settings::option_9, 6},
      {184, &dialog_settings::toggle_8, 1},
  };
  const auto stored_at = [](std::size_t offset, std::uint32_t value) {
    Bytes bytes = valid_bytes(253);
    put_le(bytes, offset, value);
    return read(bytes);
  };
  for (const auto &[offset, field, largest] : cases)
    for (const std::uint32_t value : {0u, largest, largest + 1, 0x80000000u, 0xFFFFFFFFu}) {
      SCOPED_TRACE(testing::Message() << "offset " << offset << " value " << value);
      EXPECT_EQ(stored_at(offset, value).*field, value <= largest ? static_cast<int>(value) : 0);
    }
  EXPECT_EQ(stored_at(164, 0).int_3, 0);
  EXPECT_EQ(stored_at(164, 300).int_3, 300);
}

// Any 192 bytes read back: texts terminated within their fields, every
// choice in its list, and a record that packs and reads back unchanged.
TEST(SettingsRecord, AnyBytesGiveASoundRecord) {
  std::mt19937 random(20261205u);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 2000; ++round) {
    Bytes bytes{};
    for (unsigned char &b : bytes)
      b = static_cast<unsigned char>(round % 3 == 0 ? (byte(random) & 0x07) : byte(random));
    const dialog_settings record = read(bytes);
    EXPECT_LT(std::strlen(record.str_0), 80u);
    EXPECT_LT(std::strlen(record.str_1), 80u);
    EXPECT_TRUE(record.radio_4 >= 0 && record.radio_4 < AIX_CHOICE_COUNT);
    EXPECT_TRUE(record.option_6 >= 0 && record.option_6 < PART_TYPE_CHOICE_COUNT);
    EXPECT_TRUE(record.radio_7 >= 0 && record.radio_7 < DESC_CHOICE_COUNT);
    EXPECT_TRUE(record.option_9 >= 0 && record.option_9 < NC_EXT_CHOICE_COUNT);
    EXPECT_TRUE(record.toggle_8 >= 0 && record.toggle_8 < SHOW_EXT_CHOICE_COUNT);
    Bytes packed{};
    settings_pack(&record, packed.data());
    const dialog_settings again = read(packed);
    EXPECT_EQ(std::memcmp(&record, &again, sizeof record), 0);
    if (::testing::Test::HasFailure())
      break;
  }
}

TEST(TextCopyCut, NeverSplitsADoubleByteCharacter) {
  // "\xb3\xcc\xca\xbd" is two GBK characters; "\xd5\x5c" a character
  // whose second byte is a backslash.  src, max, the buffer's size, the copy
  const std::tuple<std::string, std::size_t, std::size_t, std::string> cases[] = {
      {"abcdef", 4, 16, "abcd"},
      {"abc", 10, 16, "abc"},
      {"a\xb3\xcc\xca\xbd", 4, 16, "a\xb3\xcc"},
      {"a\xb3\xcc\xca\xbd", 3, 16, "a\xb3\xcc"},
      {"ab\xb3\xcc", 3, 16, "ab"},
      {"\xd5\x5cx", 1, 16, ""},
      {"abcdef", 79, 3, "ab"},
  };
  for (const auto &[src, max, size, expected] : cases) {
    SCOPED_TRACE(src);
    char out[17];
    std::memset(out, 'Z', sizeof out);
    text_copy_cut(out, size, src.c_str(), max);
    EXPECT_EQ(std::string(out), expected);
    EXPECT_EQ(out[size], 'Z'); // nothing written past the buffer
  }
}

} // namespace
