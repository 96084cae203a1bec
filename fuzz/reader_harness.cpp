//===- reader_harness.cpp - One fuzz case of the two file readers ---------===//
#include "reader_harness.h"

#include "sandbox.h"

#include "host/core.h"
#include "my_func/my_func.h"
#include "runtime/runtime.h"
#include "session/session.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

namespace fuzz {
namespace {

constexpr const char *kLangPath = "D:\\lang\\case.txt";
constexpr const char *kDefPath = "D:\\case.def";
constexpr std::size_t kMaxKey = 300;

struct Case {
  std::string key;
  std::string file;
};

Case split(const std::uint8_t *data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char *>(data), size);
  const auto eol = bytes.find('\n');
  if (eol == std::string_view::npos)
    return {"ufusr_01:", std::string(bytes)};
  std::string key(bytes.substr(0, eol < kMaxKey ? eol : kMaxKey));
  // A key holds no terminator: the readers take C texts.
  key.erase(std::find(key.begin(), key.end(), '\0'), key.end());
  return {key, std::string(bytes.substr(eol + 1))};
}

/// What must hold after one lookup that returned result: one message on a
/// failure, none on success, and the bracket and files as they were.
std::string check_after(sim::Session &session, int result, std::size_t messages_before) {
  const std::size_t shown = session.transcript().messages_shown().size() - messages_before;
  if (result != 0 && result != 1)
    return "result neither 1 nor 0";
  if (result == 1 && shown != 0)
    return "a message on success";
  if (result == 0 && shown != 1)
    return "not exactly one message on failure";
  if (!session.runtime().open_files().empty())
    return "a file left open";
  return {};
}

} // namespace

std::string run_lang_case(const std::uint8_t *data, std::size_t size) {
  const Case c = split(data, size);
  Sandbox box;
  box.write(kLangPath, c.file);
  sim::Session &session = box.session();
  if (UF_initialize() != 0)
    return "no bracket";
  char out[MESSAGE_BUFSIZE + 8];
  std::memset(out, 'u', sizeof out);
  out[MESSAGE_BUFSIZE - 1] = '\0';
  const int result = read_lang_message(c.key.c_str(), out, kLangPath);
  std::string problem = check_after(session, result, 0);
  if (problem.empty() && result == 1 && std::strlen(out) > MESSAGE_BUFSIZE - 1)
    problem = "message longer than 255";
  if (problem.empty() && result == 0 && out[0] != 'u')
    problem = "output touched on failure";
  for (std::size_t i = MESSAGE_BUFSIZE; i < sizeof out && problem.empty(); ++i)
    if (out[i] != 'u')
      problem = "written past the message buffer";
  (void)UF_terminate();
  return problem;
}

std::string run_config_case(const std::uint8_t *data, std::size_t size) {
  const Case c = split(data, size);
  Sandbox box;
  box.write(kDefPath, c.file);
  sim::Session &session = box.session();
  if (UF_initialize() != 0)
    return "no bracket";
  double value = -7.0;
  int result = read_config_value(c.key.c_str(), &value, kDefPath);
  std::string problem = check_after(session, result, 0);
  if (problem.empty() && result == 0 && value != -7.0)
    problem = "number touched on failure";
  const std::size_t before = session.transcript().messages_shown().size();
  char word[MESSAGE_BUFSIZE + 8];
  std::memset(word, 'u', sizeof word);
  word[MESSAGE_BUFSIZE - 1] = '\0';
  result = read_config_value_char(c.key.c_str(), word, kDefPath);
  if (problem.empty())
    problem = check_after(session, result, before);
  if (problem.empty() && result == 1 && std::strlen(word) > MESSAGE_BUFSIZE - 1)
    problem = "word longer than 255";
  for (std::size_t i = MESSAGE_BUFSIZE; i < sizeof word && problem.empty(); ++i)
    if (word[i] != 'u')
      problem = "written past the word buffer";
  (void)UF_terminate();
  return problem;
}

} // namespace fuzz
