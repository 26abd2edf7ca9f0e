#pragma once

// The Qt test classes, one per module of the Qt face; each runs its class and returns
// QTest's result.

namespace quorvel::test {

int run_main_window_tests(int argc, char** argv);
int run_secondary_windows_tests(int argc, char** argv);
int run_qt_host_tests(int argc, char** argv);

} // namespace quorvel::test
