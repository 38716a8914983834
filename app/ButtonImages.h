// The small pictures on the main window's buttons: the tool bar (files, build,
// clipboard) and the component palette. They are pixel art kept as text in the
// source, so they need no resource files and stay readable in a diff.
#pragma once

#include <span>
#include <string_view>

#include "platform/Types.h"

namespace vantorel {

enum class ButtonImageId {
  Open,
  New,
  Save,
  SaveAs,
  Settings,
  Compile,
  Run,
  Copy,
  Cut,
  Paste,
  Delete,
  Undo,
  Edit,
  ListBox,
  Button,
  CheckBox,
  RadioButton,
  ComboBox,
  Scroll,  // the scroll-bar toggle
  EventsArrow,
  PickFolder,  // the settings dialog's folder and file choosers
  PickFile,
  Count
};

// Every image is 16x16 except EventsArrow, the 8x5 drop-down triangle drawn
// beside an event name. Throws std::logic_error for Count or an id outside the
// enumeration, and if the image's data is malformed.
PixelImage LoadButtonImage(ButtonImageId id);

// The picture of a disabled button: the same shape and alpha, every visible
// pixel turned grey. Black maps to 0x80 and white to 0xC0 (linearly in luminance),
// so the light parts melt into the button face and the dark outline stays visible.
PixelImage DisabledImage(const PixelImage& image);

// The image made opaque on a button face of the given RGB colour: each channel is
// mixed with the face's by the pixel's alpha, (pixel * alpha + face * (255 - alpha))
// / 255 truncated, and every result pixel has alpha 255. A system colour id has no
// RGB value here (resolve it first) and throws std::invalid_argument.
PixelImage BlendOntoFace(const PixelImage& image, Color face);

// Turns rows of palette characters, one character per pixel, into an image of
// width x height. A wrong number of rows, a row of another length or a character
// outside the palette throws std::logic_error: it is a typo in the data.
// Palette: '.' transparent, 'k' black, 'w' white, 'g' light grey, 'G' dark grey,
// 'y' folder yellow, 'Y' light yellow, 'o' dark yellow, 'b' dark blue, 'r' red,
// 'R' dark red, 'n' green, 'N' dark green.
PixelImage DecodePixelArt(std::span<const std::string_view> rows, int width, int height);

}  // namespace vantorel
