//===- api_runtime.cpp - host_runtime.h: files, clock, standard streams ---===//
#include "host/host_runtime.h"

#include "api/entry.h"
#include "runtime/runtime.h"

#include <cstring>

using sim::Call;
using sim::Session;

extern "C" host_file *host_fopen(const char *path, const char *mode) {
  return sim::api::value_call<host_file *>(Call::host_fopen, nullptr, [&](Session &s) {
    return path && mode ? s.runtime().open(path, mode) : nullptr;
  });
}

extern "C" int host_fclose(host_file *file) {
  return sim::api::value_call(Call::host_fclose, HOST_EOF,
                              [&](Session &s) { return s.runtime().close(file); });
}

extern "C" int host_fgetc(host_file *file) {
  return sim::api::value_call(Call::host_fgetc, HOST_EOF,
                              [&](Session &s) { return s.runtime().getc(file); });
}

extern "C" char *host_fgets(char *buf, int n, host_file *file) {
  return sim::api::value_call<char *>(Call::host_fgets, nullptr,
                                      [&](Session &s) { return s.runtime().gets(buf, n, file); });
}

extern "C" size_t host_fread(void *buf, size_t size, size_t count, host_file *file) {
  return sim::api::value_call<size_t>(
      Call::host_fread, 0, [&](Session &s) { return s.runtime().read(buf, size, count, file); });
}

extern "C" size_t host_fwrite(const void *buf, size_t size, size_t count, host_file *file) {
  return sim::api::value_call<size_t>(
      Call::host_fwrite, 0, [&](Session &s) { return s.runtime().write(buf, size, count, file); });
}

extern "C" int host_remove(const char *path) {
  return sim::api::value_call(Call::host_remove, -1,
                              [&](Session &s) { return path ? s.runtime().remove(path) : -1; });
}

extern "C" int host_rename(const char *old_path, const char *new_path) {
  return sim::api::value_call(Call::host_rename, -1, [&](Session &s) {
    return old_path && new_path ? s.runtime().rename(old_path, new_path) : -1;
  });
}

extern "C" void host_localtime(struct tm *out) {
  sim::api::void_call(Call::host_localtime, [&](Session &s) {
    if (out)
      *out = s.runtime().now();
  });
}

extern "C" void host_print_stdout(const char *text) {
  sim::api::void_call(Call::host_print_stdout, [&](Session &s) {
    if (text)
      s.transcript().add(sim::EventKind::Stdout, text);
  });
}

extern "C" void host_print_stderr(const char *text) {
  sim::api::void_call(Call::host_print_stderr, [&](Session &s) {
    if (text)
      s.transcript().add(sim::EventKind::Stderr, text);
  });
}
