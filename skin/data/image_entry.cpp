#include "skin/data/image_entry.h"

#include <algorithm>
#include <vector>

#include "skin/data/option_readers.h"

namespace kestrune::skin {
namespace {

constexpr std::string_view kZeroRect = "0000000000000000";
constexpr std::string_view kReserved = "000000";

// Fields of a non-canonical entry: the runs between its lead character and spaces, counted from
// 1 after the lead character. A missing field is empty.
class Fields {
 public:
  explicit Fields(std::string_view entry) {
    const char lead = entry.front();
    std::size_t i = 1;
    while (i < entry.size()) {
      while (i < entry.size() && (entry[i] == lead || entry[i] == ' ')) {
        ++i;
      }
      const std::size_t start = i;
      while (i < entry.size() && entry[i] != lead && entry[i] != ' ') {
        ++i;
      }
      if (i > start) {
        fields_.push_back(entry.substr(start, i - start));
      }
    }
  }
  [[nodiscard]] std::size_t Count() const { return fields_.size(); }
  [[nodiscard]] std::string_view operator[](std::size_t n) const {
    return n >= 1 && n <= fields_.size() ? fields_[n - 1] : std::string_view();
  }

 private:
  std::vector<std::string_view> fields_;
};

// Left-pads a digit field to its width so that the canonical positions stay in place.
std::string Pad(std::string_view field, std::size_t width) {
  std::string result;
  if (field.size() < width) {
    result.assign(width - field.size(), '0');
  }
  result.append(field);
  return result;
}

std::string Digits4(int value) {
  return Pad(std::to_string(std::clamp(value, 0, 9999)), 4);
}

std::string ShortEntry(std::string_view entry) {
  const Fields fields(entry);
  char type = '1';
  std::string_view file;
  switch (entry.front()) {
    case '@':
      type = '2';
      break;
    case '^':
      type = '0';
      break;
    case '!':
      // A value this short has no fourth field, so it stays a texture.
      file = fields[1];
      break;
    case '~':
    case '&':
      break;
    default:
      file = entry;
  }
  std::string result = "&";
  result.append(kZeroRect).append(kZeroRect);
  result.append("30").push_back(type);
  result.append("01").append(kReserved).append(file);
  return result;
}

std::string GlyphEntry(std::string_view entry) {
  const Fields f(entry);
  std::string result = "&";
  for (std::size_t n = 1; n <= 4; ++n) {
    result += Pad(f[n], 4);
  }
  result.append(kZeroRect);
  result += Pad(f[5], 1) + Pad(f[6], 1) + "200";
  result.append(kReserved);
  return result;
}

std::string BorderEntry(std::string_view entry) {
  const Fields f(entry);
  std::string rect;
  for (std::size_t n = 1; n <= 4; ++n) {
    rect += Pad(f[n], 4);
  }
  std::string margins;
  for (std::size_t n = 5; n <= 8; ++n) {
    margins += Pad(f[n], 4);
  }
  if (entry.size() > 47 && margins == kZeroRect) {
    const std::string common = Pad(f[12], 4);
    if (common != "0000") {
      margins = common + common + common + common;
    } else {
      const int count = std::max(1, StrToInt(Pad(f[9], 1)));
      const int mask_type = StrToInt(Pad(f[10], 1));
      const int width = StrToInt(rect.substr(8, 4)) - StrToInt(rect.substr(0, 4));
      const int height = StrToInt(rect.substr(12, 4)) - StrToInt(rect.substr(4, 4));
      const int rows = std::max(1, mask_type + 1);
      const std::string horizontal = Digits4(std::max(0, (width / count - 1) / 2));
      const std::string vertical = Digits4(std::max(0, (height / rows - 1) / 2));
      margins = horizontal + vertical + horizontal + vertical;
    }
  }
  std::string result = "&" + rect + margins + Pad(f[9], 1) + Pad(f[10], 1) + "0" + Pad(f[11], 2);
  result.append(kReserved);
  return result;
}

std::string TextureEntry(std::string_view entry) {
  const Fields f(entry);
  std::string result = "&";
  for (std::size_t n = 1; n <= 4; ++n) {
    result += Pad(f[n], 4);
  }
  result.append(kZeroRect);
  result += '1';
  result += entry.size() >= 25 ? entry[24] : '0';
  result += '1';
  result += Pad(f[5], 2);
  result.append(kReserved);
  if (f.Count() > 6) {
    result.append(f[7]);
  }
  return result;
}

std::string FileEntry(std::string_view entry) {
  const Fields f(entry);
  const int type = std::min(StrToInt(f[4]), 4);
  std::string numbers;
  for (std::size_t n = 5; n <= 8; ++n) {
    numbers += Pad(f[n], 4);
  }
  std::string count(Pad(f[2], 1));
  std::string mask_type(Pad(f[3], 1));
  std::string draw_mode(Pad(f[9], 2));
  std::string rect(kZeroRect);
  std::string margins(kZeroRect);
  const bool glow = type == itisaGlow;
  const bool glyph = type == itisaGlyph || type == itisaPngGlyph;
  if ((glow || glyph) && f.Count() < 5) {
    if (glow) {
      count = "1";
      mask_type = "0";
      draw_mode = "00";
    }
  } else if (type == itisaBorder || glow) {
    margins = numbers;
  } else if (glyph) {
    rect = numbers;
  }
  std::string result = "&" + rect + margins + count + mask_type;
  result += static_cast<char>('0' + std::max(type, 0));
  result += draw_mode;
  result.append(kReserved).append(f[1]);
  return result;
}

std::string FileTexture(std::string_view entry) {
  std::string result = "&";
  result.append(kZeroRect).append(kZeroRect).append("10100").append(kReserved).append(entry);
  return result;
}

int IntAt(std::string_view canonical, std::size_t pos, std::size_t width) {
  return StrToInt(pos < canonical.size() ? canonical.substr(pos, width) : std::string_view());
}

}  // namespace

bool IsImageEntry(std::string_view upper_value) {
  if (upper_value.empty()) {
    return false;
  }
  const char lead = upper_value.front();
  return lead == '!' || lead == '&' || lead == '@' || lead == '^' || lead == '~' ||
         upper_value.find(".JPG") != std::string_view::npos ||
         upper_value.find(".BMP") != std::string_view::npos;
}

std::string CanonicalImageEntry(std::string_view upper_value) {
  if (upper_value.empty()) {
    return ShortEntry(" ");
  }
  if (upper_value.size() < 4) {
    return ShortEntry(upper_value);
  }
  switch (upper_value.front()) {
    case '&':
      return std::string(upper_value);
    case '@':
      return GlyphEntry(upper_value);
    case '^':
      return BorderEntry(upper_value);
    case '~':
      return TextureEntry(upper_value);
    case '!':
      return FileEntry(upper_value);
    default:
      return FileTexture(upper_value);
  }
}

void ReadCanonicalEntry(std::string_view canonical, TsMaskData& mask) {
  mask.R = TRect{IntAt(canonical, 1, 4), IntAt(canonical, 5, 4), IntAt(canonical, 9, 4),
                 IntAt(canonical, 13, 4)};
  mask.WL = static_cast<std::int16_t>(IntAt(canonical, 17, 4));
  mask.WT = static_cast<std::int16_t>(IntAt(canonical, 21, 4));
  mask.WR = static_cast<std::int16_t>(IntAt(canonical, 25, 4));
  mask.WB = static_cast<std::int16_t>(IntAt(canonical, 29, 4));
  mask.ImageCount = IntAt(canonical, 33, 1);
  mask.MaskType = IntAt(canonical, 34, 1);
  mask.ImgType = static_cast<TacImgType>(std::clamp(IntAt(canonical, 35, 1), 0, 4));
  mask.DrawMode = static_cast<std::int16_t>(IntAt(canonical, 36, 2));
  mask.FileName = canonical.size() > 44 ? std::string(canonical.substr(44)) : std::string();
  mask.Canonical = std::string(canonical);
  // A frame count of 0 would leave nothing to cut; one frame is the only sensible reading.
  mask.Width = mask.R.Width() / std::max(1, mask.ImageCount);
  mask.Height = mask.R.Height() / std::max(1, mask.MaskType + 1);
}

}  // namespace kestrune::skin
