#include "measurement_file.h"

#include "platform/file_io.h"
#include "station_data.h"

#include <cstring>
#include <vector>

namespace zr7 {

TLoadResult LoadMeasurementFile(const std::string& path, TPomiar& pomiar) {
  std::vector<std::uint8_t> bytes;
  // A longer file is read from its first record's worth of bytes; the rest
  // is not looked at.
  TLoadResult result{ReadFileStart(path, kPomiarImageSize, bytes), {}};
  if (result.error != 0) return result;
  if (bytes.size() < kPomiarImageSize) {
    result.refusal = "Plik nie jest plikiem pomiaru ZR-7 (krótszy niż " + std::to_string(kPomiarImageSize) + " bajty)";
    return result;
  }
  TPomiar loaded = FromImage(std::span<const std::uint8_t, kPomiarImageSize>(bytes.data(), kPomiarImageSize));
  const std::int32_t count = loaded.Probki[1].n;
  if (count < 0 || count > TProbki::kCount) {
    result.refusal = "Plik nie jest plikiem pomiaru ZR-7 (liczba próbek " + std::to_string(count) +
                     " poza zakresem 0.." + std::to_string(TProbki::kCount) + ")";
    return result;
  }
  pomiar = loaded;
  return result;
}

int SaveMeasurementFile(const std::string& path, const TPomiar& pomiar) {
  const TPomiarImage image = ToImage(pomiar);
  return ReplaceFileContent(path, image);
}

std::string BrakeCaptionOfFile(const TPomiar& pomiar) {
  const std::string hamulec = pomiar.Hamulec.Text();
  if (hamulec != kServiceBrake) return hamulec;
  return hamulec + ", odch.kier.jazdy=" + pomiar.Odchylenie.Text() + " [m]";
}

} // namespace zr7
