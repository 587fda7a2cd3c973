# Read by CTest before it runs the tests (TEST_INCLUDE_FILES): the environment of every test.
#
# QtTest's own limit per test function is lifted above CTest's limit per test. Qt 6.4's
# watchdog thread waits for the end of a test function with a deadline fixed when it began to
# wait; on a machine too busy to run that thread between two test functions it never sees the
# first one end, and the functions that follow share its deadline. A test of many short
# functions then died as "Test function timed out" in one that had just begun, once all of them
# together took longer than the limit (tst_mail under the sanitizers with both cores busy).
# A test that hangs is stopped by CTest's limit, and a dialog nobody answers by ModalWatchdog.
if(NOT DEFINED ENV{QTEST_FUNCTION_TIMEOUT})
  set(ENV{QTEST_FUNCTION_TIMEOUT} 3600000)
endif()
