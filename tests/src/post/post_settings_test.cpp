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

// Fields read little-endian from their fixed offsets and packed back
// byte for byte; layers 10 and 26 are a line feed and a Ctrl-Z byte.
TEST(SettingsRecord, RoundTripIsByteExact) {
  for (int layer : {10, 26, 1, 256}) {
    SCOPED_TRACE(layer);
    const Bytes in = valid_bytes(layer);
    dialog_settings record;
    settings_unpack(in.data(), &record);
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

TEST(SettingsRecord, DamagedTextsAreTerminated) {
  Bytes bytes = valid_bytes(253);
  std::memset(bytes.data(), 'A', 160); // neither text has a terminator
  dialog_settings record;
  settings_unpack(bytes.data(), &record);
  EXPECT_EQ(std::string(record.str_0), std::string(79, 'A'));
  EXPECT_EQ(std::string(record.str_1), std::string(79, 'A'));

  // A double-byte character across the cut goes whole.
  bytes[77] = static_cast<unsigned char>(0xB3);
  bytes[78] = static_cast<unsigned char>(0xCC);
  bytes[79] = static_cast<unsigned char>(0xB3);
  settings_unpack(bytes.data(), &record);
  EXPECT_EQ(std::string(record.str_0), std::string(77, 'A') + "\xB3\xCC");
  bytes[77] = 'A';
  bytes[78] = static_cast<unsigned char>(0xB3);
  bytes[79] = static_cast<unsigned char>(0xCC);
  settings_unpack(bytes.data(), &record);
  EXPECT_EQ(std::string(record.str_0), std::string(78, 'A'));
}

TEST(SettingsRecord, ChoicesOutsideTheirListsBecomeDefaults) {
  // offset, value stored there, the field it goes to and its value read
  const std::tuple<std::size_t, std::uint32_t, int dialog_settings::*, int> cases[] = {
      {160, 1, &dialog_settings::radio_4, 1},
      {160, 2, &dialog_settings::radio_4, 0},
      {160, 0xFFFFFFFFu, &dialog_settings::radio_4, 0},
      {168, 7, &dialog_settings::option_6, 7},
      {168, 8, &dialog_settings::option_6, 0},
      {176, 4, &dialog_settings::radio_7, 4},
      {176, 5, &dialog_settings::radio_7, 0},
      {176, 0x80000000u, &dialog_settings::radio_7, 0},
      {180, 6, &dialog_settings::option_9, 6},
      {180, 7, &dialog_settings::option_9, 0},
      {184, 1, &dialog_settings::toggle_8, 1},
      {184, 2, &dialog_settings::toggle_8, 0},
      // The layer is not a choice: the dialog's OK refuses a bad one.
      {164, 0, &dialog_settings::int_3, 0},
      {164, 300, &dialog_settings::int_3, 300},
  };
  for (const auto &[offset, stored, field, expected] : cases) {
    SCOPED_TRACE(testing::Message() << "offset " << offset << " value " << stored);
    Bytes bytes = valid_bytes(253);
    put_le(bytes, offset, stored);
    dialog_settings record;
    settings_unpack(bytes.data(), &record);
    EXPECT_EQ(record.*field, expected);
  }
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
    dialog_settings record;
    settings_unpack(bytes.data(), &record);
    EXPECT_LT(std::strlen(record.str_0), 80u);
    EXPECT_LT(std::strlen(record.str_1), 80u);
    EXPECT_TRUE(record.radio_4 >= 0 && record.radio_4 < AIX_CHOICE_COUNT);
    EXPECT_TRUE(record.option_6 >= 0 && record.option_6 < PART_TYPE_CHOICE_COUNT);
    EXPECT_TRUE(record.radio_7 >= 0 && record.radio_7 < DESC_CHOICE_COUNT);
    EXPECT_TRUE(record.option_9 >= 0 && record.option_9 < NC_EXT_CHOICE_COUNT);
    EXPECT_TRUE(record.toggle_8 >= 0 && record.toggle_8 < SHOW_EXT_CHOICE_COUNT);
    Bytes packed{};
    settings_pack(&record, packed.data());
    dialog_settings again;
    settings_unpack(packed.data(), &again);
    EXPECT_EQ(std::memcmp(&record, &again, sizeof record), 0);
    if (::testing::Test::HasFailure())
      break;
  }
}

TEST(TextCopyCut, NeverSplitsADoubleByteCharacter) {
  // "\xb3\xcc\xca\xbd" is two GBK characters; "\xd5\x5c" a character
  // whose second byte is a backslash.
  const std::tuple<std::string, std::size_t, std::string> cases[] = {
      {"abcdef", 4, "abcd"},
      {"abc", 10, "abc"},
      {"a\xb3\xcc\xca\xbd", 4, "a\xb3\xcc"},
      {"a\xb3\xcc\xca\xbd", 3, "a\xb3\xcc"},
      {"ab\xb3\xcc", 3, "ab"},
      {"\xd5\x5c"
       "x",
       1, ""},
  };
  for (const auto &[src, max, expected] : cases) {
    SCOPED_TRACE(src);
    char out[16];
    std::memset(out, 'Z', sizeof out);
    text_copy_cut(out, sizeof out, src.c_str(), max);
    EXPECT_EQ(std::string(out), expected);
  }
  char small[3];
  text_copy_cut(small, sizeof small, "abcdef", 79);
  EXPECT_STREQ(small, "ab");
}

} // namespace
