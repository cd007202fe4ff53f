#include <QApplication>
#include <gtest/gtest.h>

// GoogleTest with a QApplication around it: the key, clipboard and sound tests need one.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
