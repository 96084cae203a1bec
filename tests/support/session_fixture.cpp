//===- session_fixture.cpp - A fresh simulated host for every test --------===//
#include "session_fixture.h"

#include "session/calls.h"
#include "runtime/runtime.h"
#include "scenario/scenario.h"
#include "ui/operator.h"

#include <fstream>
#include <iterator>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;

namespace sim::testing {

fs::path installation_dir() { return fs::path(NCSHEET_SOURCE_DIR) / "data" / "kv_conf"; }

fs::path make_temp_dir(std::string_view stem) {
  static std::mt19937_64 random{std::random_device{}()};
  for (;;) {
    const fs::path dir =
        fs::temp_directory_path() / (std::string(stem) + "-" + std::to_string(getpid()) + "-" +
                                     std::to_string(random() % 1000000000));
    if (fs::create_directories(dir))
      return dir;
  }
}

std::string slurp(const fs::path &file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

SessionTest::SessionTest() = default;
SessionTest::~SessionTest() = default;

void SessionTest::SetUp() {
  const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string stem = std::string("ncsheet-") + (info ? info->name() : "test");
  for (char &c : stem)
    if (c == '/')
      c = '_';
  root_ = make_temp_dir(stem);
  new_session();
}

void SessionTest::TearDown() {
  scope_.reset();
  session_.reset();
  std::error_code ec;
  fs::remove_all(root_, ec);
}

void SessionTest::prepare(Session &session) {
  const fs::path drive_d = root_ / "drives" / "D";
  std::error_code ec;
  fs::remove_all(root_ / "drives", ec);
  fs::create_directories(drive_d / "kv_conf");
  if (fs::is_directory(installation_dir()))
    fs::copy(installation_dir(), drive_d / "kv_conf", fs::copy_options::recursive);
  session.runtime().mount('D', drive_d);
  session.runtime().set_clock(*parse_clock("2026-12-05T09:30:00"));
  session.open_part("D:\\work\\part.prt");
  session.set_application(UF_APP_CAM);
}

void SessionTest::new_session() {
  scope_.reset();
  session_.reset();
  session_ = std::make_unique<Session>();
  scope_ = std::make_unique<SessionScope>(*session_);
  ++sessions_made_;
  prepare(*session_);
}

void SessionTest::answer(const nlohmann::json &value) { session_->op().queue(value); }

void SessionTest::fail(std::string_view call, std::uint32_t nth, int status) {
  const std::optional<Call> id = find_call(call);
  ASSERT_TRUE(id.has_value()) << "no host function " << call;
  session_->calls().add_fault({*id, nth, status});
}

void SessionTest::fail_kth(std::uint64_t k, int status) { session_->calls().fail_kth(k, status); }

void SessionTest::load_scenario(std::string_view json_text) {
  scope_.reset();
  session_.reset();
  session_ = std::make_unique<Session>();
  scope_ = std::make_unique<SessionScope>(*session_);
  (void)load_scenario_text(*session_, json_text, "test-scenario.json", NCSHEET_SOURCE_DIR, root_);
}

void SessionTest::write_file(std::string_view host_path, std::string_view bytes) {
  const std::optional<fs::path> disk = session_->runtime().resolve(host_path);
  ASSERT_TRUE(disk.has_value()) << host_path;
  fs::create_directories(disk->parent_path());
  std::ofstream out(*disk, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << host_path;
}

std::string SessionTest::read_file(std::string_view host_path) {
  const std::optional<fs::path> disk = session_->runtime().resolve(host_path);
  if (!disk)
    return {};
  std::ifstream in(*disk, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool SessionTest::file_exists(std::string_view host_path) {
  const std::optional<fs::path> disk = session_->runtime().resolve(host_path);
  std::error_code ec;
  return disk && fs::is_regular_file(*disk, ec);
}

FinishReport SessionTest::finish() { return session_->finish(); }

std::uint64_t SessionTest::fault_loop(const std::function<void()> &body,
                                      const std::function<void(std::uint64_t k)> &check,
                                      int status) {
  new_session();
  reset_system();
  body();
  const std::uint64_t count = session_->calls().fallible_total();
  check(0);
  for (std::uint64_t k = 1; k <= count; ++k) {
    SCOPED_TRACE("fault loop: fallible call " + std::to_string(k) + " of " + std::to_string(count) +
                 " fails");
    new_session();
    reset_system();
    session_->calls().fail_kth(k, status);
    body();
    check(k);
    if (::testing::Test::HasFatalFailure())
      break;
  }
  return count;
}

} // namespace sim::testing
