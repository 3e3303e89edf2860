// optionen.ini: read the keys the application reads, then write one key and read it back.

#include "FuzzSupport.h"

#include "files/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kw;
  const QString path = fuzz::WriteInputFile(data, size, "optionen.ini");
  const IniFile ini(path);
  [[maybe_unused]] const StartFiles start = ReadStartFiles(ini);
  [[maybe_unused]] const auto sliders = ReadTwoThirdsSliders(ini);
  [[maybe_unused]] const auto lengths = ReadSeriesLengthSliders(ini);
  [[maybe_unused]] const QString count = ReadRandomCount(ini);

  const QString value = QStringLiteral("/home/nutzer/Permanenzen/Spielbank ä.txt");
  if (ini.WriteText("Dateien", "Permanenz", value).isEmpty())
    fuzz::Expect(ini.ReadText("Dateien", "Permanenz") == value, "a written key reads back");
  return 0;
}
