// Unit tests run with an application object, as the tool does, so that
// translation and the local encoding behave as in a real run.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
  QCoreApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
