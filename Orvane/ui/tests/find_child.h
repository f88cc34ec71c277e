#pragma once
// The named child widget of a window under test; a missing one fails the
// test where it is looked up (and returns null).

#include <gtest/gtest.h>

#include <QString>
#include <QWidget>

template <typename Widget>
Widget* Find(QWidget& window, const char* name) {
  auto* widget = window.findChild<Widget*>(QString::fromLatin1(name));
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}
