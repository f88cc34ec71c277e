// The settings dialog of the text export, offscreen.
#include "Orvane/ui/dialogs/dlg_save_index_range.h"
#include "Orvane/ui/tests/find_child.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <vector>

namespace {

using orvane::SaveIndexRangeDialog;

TEST(DlgSaveIndexRange, OpensWithTheCommandsTextsAndChoice) {
  struct Case {
    SaveIndexRangeDialog values;
    const char* title;
    bool description_shown;
  };
  SaveIndexRangeDialog bare;
  bare.caption.clear();
  bare.description.clear();
  bare.header_only = false;
  const std::vector<Case> cases = {
      {SaveIndexRangeDialog{}, "[Save Transaction To Text] Setting", true},
      {bare, "Transaction Index Range", false},
  };
  for (const Case& c : cases) {
    DlgSaveIndexRange dialog(c.values);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(c.title));
    auto* description = Find<QLabel>(dialog, "description");
    EXPECT_EQ(description->isVisible(), c.description_shown);
    EXPECT_EQ(description->text().toStdString(), c.values.description);
    auto* header_only = Find<QRadioButton>(dialog, "headerOnly");
    auto* all_data = Find<QRadioButton>(dialog, "allData");
    EXPECT_EQ(header_only->text(), QStringLiteral("Only transaction header"));
    EXPECT_EQ(all_data->text(), QStringLiteral("All the data"));
    EXPECT_EQ(header_only->isChecked(), c.values.header_only);
    EXPECT_EQ(all_data->isChecked(), !c.values.header_only);
    EXPECT_FALSE(header_only->accessibleName().isEmpty());
    EXPECT_FALSE(all_data->accessibleName().isEmpty());
  }
}

TEST(DlgSaveIndexRange, OkKeepsTheChoiceAndCancelLeavesTheValues) {
  struct Case {
    const char* click;
    const char* button;
    bool accepted;
    bool header_only;
  };
  const std::vector<Case> cases = {
      {"allData", "ok", true, false},
      {"headerOnly", "ok", true, true},
      {"allData", "cancel", false, true},
  };
  for (const Case& c : cases) {
    DlgSaveIndexRange dialog(SaveIndexRangeDialog{});
    dialog.show();
    // On the indicator: the middle of a wide button may lie beyond its text.
    auto* radio = Find<QRadioButton>(dialog, c.click);
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
    QTest::mouseClick(Find<QPushButton>(dialog, c.button), Qt::LeftButton);
    EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.click << " " << c.button;
    EXPECT_EQ(dialog.Values().header_only, c.header_only) << c.click << " " << c.button;
  }
}

}  // namespace
