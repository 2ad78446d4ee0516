// What the command line asks of a picture besides its size: the texts it
// may give, whether the detail panel is drawn, the run's band, and the
// names the picture's description shows. The picture's parts take these,
// so this header includes none of them.
#pragma once

namespace vorna::plot {

// Texts the command line may give; null: the picture's own.
struct PictureTexts {
  const char* title = nullptr;
  const char* series = nullptr;  // the series' name, for the default title
  const char* x_label = nullptr;
  const char* y_label = nullptr;
  bool detail = true;  // the detail panel, when the series has more samples than columns
  // The band of the run's --hysteresis, as given: its extrema are reversals.
  const char* hysteresis = nullptr;
};

// Names shown in the picture's description.
struct PictureSources {
  const char* print_file = "";
  const char* listing = "";
};

}  // namespace vorna::plot
