// The post dialog on the simulated host: the values offered and stored, the
// settings file, the layer's check, long texts and the host's troubles.
#include "post/post.h"

#include "gbk_text.h"
#include "host/core.h"
#include "my_func/my_func.h"
#include "post_fixture.h"
#include "runtime/runtime.h"
#include "styler/styler.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>

namespace {

using post_test::kLang;
using post_test::kSettings;
using test_text::gbk;

class PostDialog : public post_test::PostTest {
protected:
  // Shows the dialog alone inside an API bracket.
  int show() {
    (void)text_copy(lang_file, sizeof lang_file, kLang);
    if (UF_initialize() != 0)
      return 0;
    const int result = show_post_dialog();
    (void)UF_terminate();
    return result;
  }
  void press(const std::string &button, const nlohmann::json &edits = nlohmann::json::object()) {
    answer({{"dialog", edits}, {"press", button}});
  }

  // A control's value in the n-th dialog shown, as it was when it closed.
  const sim::styler::ControlValue &value(std::size_t n, const char *id) {
    const auto &dialogs = session().component<sim::styler::Styler>().dialogs();
    EXPECT_LT(n, dialogs.size());
    const sim::styler::DialogRecord &d = dialogs.at(n);
    const sim::styler::ControlSpec *definition = d.definition.find(id);
    EXPECT_NE(definition, nullptr) << id;
    return d.values.at(static_cast<std::size_t>(definition - d.definition.controls.data()));
  }
  int integer(std::size_t n, const char *id) { return value(n, id).integer; }
  std::string text(std::size_t n, const char *id) { return value(n, id).text; }
};

// A settings record: texts, then the eight integers little-endian.
std::string record_bytes(const std::string &str_0, const std::string &str_1,
                         const std::array<std::uint32_t, 8> &ints) {
  std::string bytes(DIALOG_SETTINGS_SIZE, '\0');
  bytes.replace(0, str_0.size(), str_0);
  bytes.replace(80, str_1.size(), str_1);
  for (std::size_t i = 0; i < ints.size(); ++i)
    for (std::size_t b = 0; b < 4; ++b)
      bytes[160 + 4 * i + b] = static_cast<char>((ints[i] >> (8 * b)) & 0xFFu);
  return bytes;
}

// No settings file or a short one: the defaults (OK writes the record
// whole); a damaged one: texts cut to 79 bytes, choices outside their lists
// the first; the part's name always for the part number.  Apply and Cancel
// store nothing; OK writes the record back byte for byte: layers 10 and 26
// are a line feed and a Ctrl-Z byte, which a text-mode file would change.
TEST_F(PostDialog, OffersTheSavedValuesAndOkStoresThem) {
  std::string damaged = record_bytes("", "", {9, 40, 8, 0, 77, 0x80000000u, 2, 1});
  damaged.replace(0, 160, std::string(160, 'A')); // no terminators
  const auto saved = [](std::uint32_t layer) {
    return record_bytes("M7", "part", {1, layer, 7, 0x11223344u, 4, 6, 1, 0xFFFFFFFEu});
  };
  // the values as the dialog closed, the file afterwards ("" when none), the
  // mould number and layer taken
  // clang-format off
  struct Case {
    std::string file, button; bool edited; std::string str_0; int layer;
    std::array<int, 5> choices; std::string after, mold_no; int layer_taken;
  };
  const std::array<int, 5> none{}, stored{1, 7, 6, 4, 1};
  const Case cases[] = {
      {"", "Cancel", false, "", 253, none, "", "", 253},
      {std::string(100, 'x'), "OK", false, "", 253, none,
       record_bytes("", "part", {0, 253, 0, 0, 0, 0, 0, 1}), "", 253},
      {damaged, "Cancel", false, std::string(79, 'A'), 40, none, damaged, "", 253},
      {saved(30), "Apply", true, "NEW", 40, stored, saved(30), "", 253},
      {saved(30), "Cancel", true, "NEW", 40, stored, saved(30), "", 253},
      {saved(10), "OK", false, "M7", 10, stored, saved(10), "M7", 10},
      {saved(26), "OK", false, "M7", 26, stored, saved(26), "M7", 26},
  };
  // clang-format on
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.file.size() << " " << c.button << " " << c.layer);
    part();
    reset_module_state();
    if (!c.file.empty())
      write_file(kSettings, c.file);
    press(c.button,
          c.edited ? nlohmann::json{{"STR_0", "NEW"}, {"INT_3", 40}} : nlohmann::json::object());
    EXPECT_EQ(show(), c.button == "OK" ? 1 : 0);
    EXPECT_EQ(text(0, "STR_0"), c.str_0);
    EXPECT_EQ(text(0, "STR_1"), "part");
    EXPECT_EQ(integer(0, "INT_3"), c.layer);
    for (std::size_t i = 0;
         const char *id : {"RADIO_4", "OPTION_6", "OPTION_9", "RADIO_7", "TOGGLE_8"})
      EXPECT_EQ(integer(0, id), c.choices[i++]) << id;
    EXPECT_EQ(session().prompt_line(), "ncsheet: NC files and program sheet");
    EXPECT_EQ(file_exists(kSettings), !c.after.empty());
    EXPECT_EQ(read_file(kSettings), c.after);
    EXPECT_STREQ(mold_no, c.mold_no.c_str());
    EXPECT_EQ(save_aix_layer, c.layer_taken);
    EXPECT_TRUE(finish().ok());
  }
}

// A refused layer keeps the dialog open; the corrected one is taken on the
// next OK.
TEST_F(PostDialog, OkStoresTheValuesAndTheNextOpeningOffersThem) {
  press("OK", {{"INT_3", 0}});
  press("OK", {{"INT_3", 257}});
  // clang-format off
  press("OK", {{"STR_0", "M2612"}, {"STR_1", "X1"}, {"RADIO_4", 1}, {"INT_3", 10}, {"OPTION_6", 3},
               {"OPTION_9", 4}, {"RADIO_7", 2}, {"TOGGLE_8", true}});
  // clang-format on
  EXPECT_EQ(show(), 1);
  EXPECT_EQ(boxes(), (std::vector<std::string>{"K1", "K1"}));
  EXPECT_STREQ(mold_no, "M2612");
  EXPECT_STREQ(part_no, "X1");
  EXPECT_EQ(std::tuple(aix_choice, save_aix_layer, part_type_choice, nc_ext_choice, desc_choice,
                       show_ext),
            std::tuple(1, 10, 3, 4, 2, 1));
  // The reserved fields keep the defaults of a first use.
  EXPECT_EQ(read_file(kSettings), record_bytes("M2612", "X1", {1, 10, 3, 0, 2, 4, 1, 1}));

  // The mould number comes back; the part number is the part's name again.
  press("Cancel");
  EXPECT_EQ(show(), 0);
  EXPECT_EQ(text(1, "STR_0"), "M2612");
  EXPECT_EQ(text(1, "STR_1"), "part");
  const std::pair<const char *, int> offered[] = {{"RADIO_4", 1},  {"INT_3", 10},  {"OPTION_6", 3},
                                                  {"OPTION_9", 4}, {"RADIO_7", 2}, {"TOGGLE_8", 1}};
  for (const auto &[id, value] : offered)
    EXPECT_EQ(integer(1, id), value) << id;
  EXPECT_TRUE(finish().ok());
}

// Only layers 1 to 256 are taken.  A refused layer keeps the dialog open
// with the message; the values asked before it are stored, the later ones
// and the file are not, and nothing asked is left unreleased.
TEST_F(PostDialog, OnlyLayersOneTo256AreTaken) {
  for (const int layer : {0, 257, -3, 1, 256, 253}) {
    SCOPED_TRACE(layer);
    const bool accepted = layer >= 1 && layer <= 256;
    part();
    reset_module_state();
    press("OK", {{"STR_0", "M1"}, {"RADIO_4", 1}, {"INT_3", layer}, {"OPTION_9", 2}});
    if (!accepted)
      press("Cancel");
    EXPECT_EQ(show(), accepted ? 1 : 0);
    EXPECT_EQ(save_aix_layer, layer);
    EXPECT_STREQ(mold_no, "M1");
    EXPECT_EQ(aix_choice, 1);
    EXPECT_EQ(boxes(), accepted ? std::vector<std::string>{} : std::vector<std::string>{"K1"});
    EXPECT_EQ(nc_ext_choice, accepted ? 2 : 0);
    EXPECT_EQ(read_file(kSettings).size(), accepted ? 192u : 0u);
    EXPECT_EQ(file_exists(kSettings), accepted);
    EXPECT_TRUE(finish().ok()); // no array unreleased
  }
}

// 78 ASCII bytes and a double-byte character: a cut at 79 bytes would
// keep its first byte alone.
TEST_F(PostDialog, LongTextsAreCutOnACharacterBoundary) {
  const std::string a78(78, 'a');
  press("OK", {{"STR_0", a78 + "程x"}, {"STR_1", std::string(79, 'b') + "c"}});
  EXPECT_EQ(show(), 1);
  EXPECT_EQ(std::string(mold_no), a78);
  EXPECT_EQ(std::string(part_no), std::string(79, 'b'));
  const std::string file = read_file(kSettings);
  ASSERT_EQ(file.size(), 192u);
  EXPECT_EQ(file.substr(0, 80), a78 + std::string(2, '\0'));
  EXPECT_EQ(file.substr(80, 80), std::string(79, 'b') + '\0');

  // A text that ends in a whole character at 79 bytes is kept whole.
  const std::string a77(77, 'a');
  press("OK", {{"STR_0", a77 + "程x"}});
  EXPECT_EQ(show(), 1);
  EXPECT_EQ(std::string(mold_no), a77 + gbk("程"));
  EXPECT_TRUE(finish().ok());
}

// A dialog that cannot be made is told on the status line; a settings
// file that cannot be written is not told; a missing message keeps the
// dialog open, the values not stored.
TEST_F(PostDialog, TroublesOfTheHost) {
  fail("UF_STYLER_create_dialog", 1);
  EXPECT_EQ(show(), 0);
  EXPECT_EQ(session().status_line(), "The operation failed");
  EXPECT_EQ(texts(sim::EventKind::Stdout), std::vector<std::string>{"The operation failed\n"});
  EXPECT_TRUE(questions().empty());

  const auto path = session().runtime().resolve(kSettings);
  ASSERT_TRUE(path.has_value());
  std::filesystem::create_directories(*path); // a folder cannot be opened
  press("OK", {{"STR_0", "M3"}});
  EXPECT_EQ(show(), 1);
  EXPECT_TRUE(boxes().empty());
  EXPECT_STREQ(mold_no, "M3");

  write_file(kLang, "ok_cb_01:K1\n");
  press("OK", {{"STR_0", "M4"}});
  press("Cancel");
  EXPECT_EQ(show(), 0);
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_NE(boxes()[0].find("ok_cb_02:"), std::string::npos);
  EXPECT_STREQ(mold_no, "M3");
  EXPECT_TRUE(finish().ok());
}

} // namespace
