#pragma once
// The pace of every animation of the skinned windows: state and glow fades, caption button fades
// and the show animation all move one frame per interval.

namespace kestrune::skin {

inline constexpr int kFrameInterval = 12;  // milliseconds between frames

}  // namespace kestrune::skin
