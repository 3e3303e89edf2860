#include "ui/ComparisonFields.h"

#include "ui/Dialogs.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QLocale>
#include <QRandomGenerator>

#include <charconv>
#include <string>

namespace kw {
namespace {

// A whole number typed into a digits-only field, if it is one within [least, most].
std::optional<uint64_t> fieldNumber(const QString& text, uint64_t least, uint64_t most) {
  const std::string digits = text.trimmed().toStdString();
  uint64_t value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() ||
      value < least || value > most)
    return std::nullopt;
  return value;
}

} // namespace

bool ReadComparisonFields(QWidget* window, const ComparisonFields& fields,
                          std::optional<RandomComparisonRequest>& request) {
  request.reset();
  if (!fields.enabled->isChecked())
    return true;
  Dialogs& dialogs = Dialogs::instance();
  const auto replicas = fieldNumber(fields.replicas->text(), FewestReplicas, MostReplicas);
  if (!replicas) {
    dialogs.error(window,
                  QStringLiteral("Bitte tragen Sie für den Zufallsvergleich %1 bis %2 "
                                 "Replikate ein.\r\rIch breche ab.")
                      .arg(QLocale().toString(FewestReplicas), QLocale().toString(MostReplicas)));
    fields.replicas->setFocus();
    return false;
  }
  RandomComparisonRequest asked{.replicas = static_cast<int>(*replicas), .seed = 0};
  if (fields.seed->text().trimmed().isEmpty()) {
    asked.seed = QRandomGenerator::global()->bounded(quint64{LargestSeed} + 1);
  } else if (const auto seed = fieldNumber(fields.seed->text(), 0, LargestSeed)) {
    asked.seed = *seed;
  } else {
    dialogs.error(window, QStringLiteral("Der Startwert des Zufallsvergleichs darf höchstens %1 "
                                         "sein.\r\rIch breche ab.")
                              .arg(QLocale().toString(static_cast<qulonglong>(LargestSeed))));
    fields.seed->setFocus();
    return false;
  }
  request = asked;
  return true;
}

} // namespace kw
