// Feeds arbitrary bytes to the design file's reader as a file, with a
// section, key and value from the same input, and checks what must always
// hold: nothing is lost by reading and writing back, a written entry reads
// back, and a loaded design saves and loads again unchanged.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "design/Cp1252.h"
#include "design/DesignName.h"
#include "design/IniDocument.h"
#include "design/ShapeList.h"
#include "design/ShapeRecord.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// What a read gives after writing `value` to a fresh file.
std::string ReadsBackAs(const std::string& value) {
  flinder::IniDocument fresh;
  fresh.Write("S", "K", value);
  return fresh.Read("S", "K");
}

void CheckRecordSurvivesSaving(const flinder::IniDocument& file, const std::string& name) {
  flinder::ShapeSettings loaded;
  ReadShape(file, loaded, name);
  flinder::IniDocument saved = file;
  WriteShape(saved, loaded, name);
  flinder::ShapeSettings again;
  ReadShape(flinder::IniDocument(saved.Bytes()), again, name);
  for (int i = 0; i < 31; ++i) {
    Check(loaded.SliderPos(i) >= 0 && loaded.SliderPos(i) <= 1);
    Check(again.SliderPos(i) == loaded.SliderPos(i));
  }
  for (int i = 0; i < 7; ++i) {
    auto which = static_cast<flinder::Switch>(i);
    Check(again.SwitchOn(which) == loaded.SwitchOn(which));
  }
  // A lone carriage return inside a value is written as a blank.
  auto written = [](std::string text) {
    std::replace(text.begin(), text.end(), '\r', ' ');
    return text;
  };
  Check(again.Text == written(loaded.Text));
  Check(again.Font.FontName == written(loaded.Font.FontName));
  Check(again.Font.FontBold == loaded.Font.FontBold);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  std::string section = input.ConsumeRandomLengthString(40);
  std::string key = input.ConsumeRandomLengthString(40);
  std::string value = input.ConsumeRandomLengthString(300);
  std::string bytes = input.ConsumeRemainingBytesAsString();

  for (const std::string& name : flinder::ScanShapeList(bytes))
    Check(flinder::IsValidDesignName(name));

  flinder::IniDocument file(bytes);
  Check(file.Bytes() == bytes);
  Check(flinder::ToCp1252(file.Read(section, key)).size() <= flinder::MaxValueLength);

  if (flinder::IsValidDesignName(section)) CheckRecordSurvivesSaving(file, section);

  if (file.Write(section, key, value)) {
    flinder::IniDocument reread(file.Bytes());
    Check(reread.Read(section, key) == ReadsBackAs(value));
    flinder::ScanShapeList(file.Bytes());
  }
  return 0;
}
