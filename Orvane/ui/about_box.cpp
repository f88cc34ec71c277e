#include "Orvane/ui/about_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "Orvane/ui/dlg_title.h"
#include "velix_version.h"

namespace orvane {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("About Orvane"));
  auto* name = new QLabel(QStringLiteral("Orvane"));
  name->setObjectName(QStringLiteral("productName"));
  QFont name_font = name->font();
  name_font.setBold(true);
  name->setFont(name_font);
  auto* version = new QLabel(tr("Version %1").arg(QString::fromLatin1(velix::kVelixVersion)));
  version->setObjectName(QStringLiteral("productVersion"));
  // Selectable, so the version can be copied into a report.
  version->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(name);
  layout->addWidget(version);
  layout->addWidget(buttons);
}

void ShowAboutBox(QWidget* parent, bool show_title) {
  if (show_title) {
    DlgTitle title(parent);
    title.exec();
  }
  AboutBox about(parent);
  about.exec();
}

}  // namespace orvane
