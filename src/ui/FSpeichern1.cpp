#include "ui/FSpeichern1.h"

#include "files/Folders.h"
#include "files/HandChangeMarkers.h"
#include "files/PermanenceWriter.h"
#include "files/TextFile.h"
#include "ui/Dialogs.h"
#include "ui/Help.h"
#include "ui/HelpTopics.h"
#include "ui/WindowParts.h"
#include "workspace/Workspace.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>
#include <string>
#include <vector>

namespace kw {
namespace {

constexpr int ClientWidth = 252;
constexpr int ClientHeight = 358;

// The user's short date format, with the year always in four digits: a saved permanence
// must still tell 1999 from 2099.
QString ShortDateFormat() {
  QString format = QLocale().dateFormat(QLocale::ShortFormat);
  if (!format.contains(QLatin1String("yyyy")))
    format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
  return format;
}

std::string Utf8(const QLineEdit* edit) { return edit->text().toStdString(); }

// The message for a text that a Windows-1252 file cannot hold, or empty.
QString EncodingProblem(const std::vector<std::string>& lines, const QString& path) {
  return EncodeLines(lines, TextEncoding::Windows1252, path).problem;
}

QHBoxLayout* LabelledRow(const QString& label, QWidget* field, QWidget* parent) {
  auto* row = new QHBoxLayout;
  auto* caption = new QLabel(label, parent);
  caption->setBuddy(field);
  caption->setFixedWidth(46);
  row->addWidget(caption);
  row->addWidget(field, 1);
  return row;
}

} // namespace

FSpeichern1::FSpeichern1(Workspace& workspace, QWidget* parent)
    : QDialog(parent), workspace_(workspace) {
  setObjectName(QStringLiteral("FSpeichern1"));
  FormCreate();
}

void FSpeichern1::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  InstallHelpKey(this, help::Tools);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->setSpacing(6);
  auto* heading = WrappedLabel(
      QStringLiteral("Ergänzende Informationen zu der zu speichernden Permanenz"), QString(), this);
  heading->setObjectName(QStringLiteral("PTitel"));
  heading->setStyleSheet(QStringLiteral("font-weight: bold;"));
  layout->addWidget(heading);
  layout->addWidget(buildInfoGroup(), 1);

  auto* buttons = new QHBoxLayout;
  auto* save = new QPushButton(QStringLiteral("S&peichern"), this);
  save->setObjectName(QStringLiteral("BSave"));
  save->setIcon(QIcon::fromTheme(QStringLiteral("document-save")));
  connect(save, &QPushButton::clicked, this, &FSpeichern1::BSaveClick);
  buttons->addWidget(save);
  auto* close = new QPushButton(QStringLiteral("Sch&ließen"), this);
  close->setObjectName(QStringLiteral("BClose"));
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  setFixedSize(ClientWidth, ClientHeight);
}

QWidget* FSpeichern1::buildInfoGroup() {
  auto* group = new QGroupBox(QStringLiteral("Zusatzinformationen:"), this);
  group->setObjectName(QStringLiteral("GBInfo"));
  auto* column = new QVBoxLayout(group);
  column->setContentsMargins(6, 4, 6, 6);
  column->setSpacing(4);

  eCasino_ = new QLineEdit(QStringLiteral("Spielbank"), group);
  eCasino_->setObjectName(QStringLiteral("ECasino"));
  column->addWidget(eCasino_);
  eTisch_ = new QLineEdit(QStringLiteral("XX"), group);
  eTisch_->setObjectName(QStringLiteral("ETisch"));
  column->addLayout(LabelledRow(QStringLiteral("Tisch:"), eTisch_, group));
  eDatum_ = new QDateEdit(QDate(2013, 4, 28), group);
  eDatum_->setObjectName(QStringLiteral("EDatum"));
  eDatum_->setCalendarPopup(true);
  eDatum_->setDisplayFormat(ShortDateFormat());
  column->addLayout(LabelledRow(QStringLiteral("Datum:"), eDatum_, group));

  column->addWidget(WrappedLabel(QStringLiteral("Handwechsel- Zeichen (HWZ)"), QString(), group));
  eHWZ_ = new QLineEdit(group);
  eHWZ_->setObjectName(QStringLiteral("EHWZ"));
  column->addWidget(eHWZ_);
  auto* note = WrappedLabel(
      QStringLiteral("(nur eingeben, wenn nicht be- reits als HWZ gespeichert)"), QString(), group);
  QFont small = note->font();
  small.setPointSizeF(small.pointSizeF() * 0.9);
  note->setFont(small);
  column->addWidget(note);

  column->addWidget(WrappedLabel(QStringLiteral("Bemerkung (min. 3 Zeichen):"), QString(), group));
  eBemerkung_ = new QLineEdit(group);
  eBemerkung_->setObjectName(QStringLiteral("EBemerkung"));
  column->addWidget(eBemerkung_);
  column->addStretch(1);
  cbMitInfo_ = new QCheckBox(QStringLiteral("Zusatzinformationen speichern"), group);
  cbMitInfo_->setObjectName(QStringLiteral("cbMitInfo"));
  column->addWidget(cbMitInfo_);
  return group;
}

void FSpeichern1::BSaveClick() {
  Dialogs& dialogs = Dialogs::instance();
  Dialogs::FileRequest request;
  request.title = QStringLiteral("Datei speichern");
  request.filter = QStringLiteral("Permanenz-Format (*.prm);;Alle Dateien (*.*)");
  request.defaultSuffix = QStringLiteral("prm");
  request.confirmOverwrite = false; // the save dialog replaces an existing file without asking
  request.startDir = PermanenceDir();
  const QString path = dialogs.saveFile(this, request);
  if (path.isEmpty())
    return;

  std::optional<PermanenceInfo> info;
  if (cbMitInfo_->isChecked())
    info = PermanenceInfo{Utf8(eCasino_), Utf8(eTisch_),
                          eDatum_->date().toString(ShortDateFormat()).toStdString(),
                          Utf8(eBemerkung_)};
  const std::vector<std::string> lines = PermanenceFileLines(workspace_.table(), info);

  // Text the permanence file cannot hold is refused before the marker list or the permanence
  // is written, so a refused save leaves both as they were. The marker list itself takes any
  // text (it becomes UTF-8 when it must).
  const std::string marker = Utf8(eHWZ_);
  if (const QString problem = EncodingProblem(lines, path); !problem.isEmpty()) {
    dialogs.error(this, problem);
    return;
  }

  const MarkerRegistration registered = workspace_.RegisterHandChangeMarker(marker);
  if (!registered.error.isEmpty()) {
    dialogs.error(this, registered.error);
    return;
  }
  if (const QString error = WriteTextLines(path, lines); !error.isEmpty()) {
    dialogs.error(this, error);
    return;
  }
  close();
}

} // namespace kw
