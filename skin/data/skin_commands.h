#pragma once
// The skin command message by which the manager, forms and skinned controls tell each other
// about skin changes and ask each other for colours, indexes and backgrounds: the command in the
// high 16 bits of wParam, an argument in the low 16 bits, a pointer or the sending manager in
// lParam.

#include <cstdint>

namespace kestrune::skin {

inline constexpr std::uint32_t SM_ALPHACMD = 0xA100;

inline constexpr std::uint16_t AC_SETNEWSKIN = 1;
inline constexpr std::uint16_t AC_REMOVESKIN = 2;
inline constexpr std::uint16_t AC_REFRESH = 3;
inline constexpr std::uint16_t AC_GETPROVIDER = 4;
inline constexpr std::uint16_t AC_GETCACHE = 5;
inline constexpr std::uint16_t AC_ENDPARENTUPDATE = 6;
inline constexpr std::uint16_t AC_CTRLHANDLED = 7;
inline constexpr std::uint16_t AC_UPDATING = 8;
inline constexpr std::uint16_t AC_GETDEFINDEX = 9;
inline constexpr std::uint16_t AC_PREPARING = 10;
inline constexpr std::uint16_t AC_GETHALFVISIBLE = 11;
inline constexpr std::uint16_t AC_GETLISTSW = 12;
inline constexpr std::uint16_t AC_UPDATESECTION = 13;
inline constexpr std::uint16_t AC_DROPPEDDOWN = 14;
inline constexpr std::uint16_t AC_SETSECTION = 15;
inline constexpr std::uint16_t AC_STOPFADING = 16;
inline constexpr std::uint16_t AC_SETBGCHANGED = 17;
inline constexpr std::uint16_t AC_INVALIDATE = 18;
inline constexpr std::uint16_t AC_CHILDCHANGED = 19;
inline constexpr std::uint16_t AC_SETCHANGEDIFNECESSARY = 20;
inline constexpr std::uint16_t AC_GETCONTROLCOLOR = 21;
inline constexpr std::uint16_t AC_SETHALFVISIBLE = 22;
inline constexpr std::uint16_t AC_PREPARECACHE = 23;
inline constexpr std::uint16_t AC_DRAWANIMAGE = 24;
inline constexpr std::uint16_t AC_CONTROLLOADED = 25;
inline constexpr std::uint16_t AC_GETSKININDEX = 26;
inline constexpr std::uint16_t AC_GETSERVICEINT = 27;
inline constexpr std::uint16_t AC_UPDATECHILDREN = 28;
inline constexpr std::uint16_t AC_MOUSEENTER = 29;
inline constexpr std::uint16_t AC_MOUSELEAVE = 30;
inline constexpr std::uint16_t AC_BEGINUPDATE = 31;
inline constexpr std::uint16_t AC_ENDUPDATE = 32;
inline constexpr std::uint16_t AC_CLEARCACHE = 33;
inline constexpr std::uint16_t AC_GETBG = 34;
inline constexpr std::uint16_t AC_GETDISKIND = 35;
inline constexpr std::uint16_t AC_FONTSCHANGED = 36;
inline constexpr std::uint16_t AC_GETSKINDATA = 37;
inline constexpr std::uint16_t AC_PRINTING = 38;
inline constexpr std::uint16_t AC_UPDATELIGHT = 39;
inline constexpr std::uint16_t AC_PAINTOUTER = 40;
inline constexpr std::uint16_t AC_FLUENTHANDLE = 41;
inline constexpr std::uint16_t AC_SETGLASSMODE = 42;
inline constexpr std::uint16_t AC_BUFFEREDPRINTCLIENT = 43;
inline constexpr std::uint16_t AC_FORCEOPAQUE = 44;
inline constexpr std::uint16_t AC_BEFORESCROLL = 51;
inline constexpr std::uint16_t AC_AFTERSCROLL = 52;
inline constexpr std::uint16_t AC_REINITSCROLLS = 53;
inline constexpr std::uint16_t AC_GETCOLORTONE = 54;
inline constexpr std::uint16_t AC_LINKOBJ = 55;
inline constexpr std::uint16_t AC_GETAPPLICATION = 60;
inline constexpr std::uint16_t AC_PARENTCLOFFSET = 61;
inline constexpr std::uint16_t AC_NCPAINT = 62;
inline constexpr std::uint16_t AC_SETPOSCHANGING = 63;
inline constexpr std::uint16_t AC_GETPOSCHANGING = 64;
inline constexpr std::uint16_t AC_SETALPHA = 65;
inline constexpr std::uint16_t AC_GETFONTINDEX = 66;
inline constexpr std::uint16_t AC_GETBORDERWIDTH = 67;
inline constexpr std::uint16_t AC_SETSCALE = 68;
inline constexpr std::uint16_t AC_GETSCALE = 69;
inline constexpr std::uint16_t AC_GETOUTRGN = 70;
inline constexpr std::uint16_t AC_COPYDATA = 71;
inline constexpr std::uint16_t AC_POPUPCLOSED = 72;
inline constexpr std::uint16_t AC_UPDATESHADOW = 73;
inline constexpr std::uint16_t AC_SKINCHANGED = 74;
inline constexpr std::uint16_t AC_SKINLISTCHANGED = 75;
inline constexpr std::uint16_t AC_PAINTFLOATITEMS = 76;
inline constexpr std::uint16_t AC_UPDATEFLOATITEMS = 77;
inline constexpr std::uint16_t AC_UPDATEITEMSALPHA = 78;
inline constexpr std::uint16_t AC_UPDATEPAGEBTN = 78;
inline constexpr std::uint16_t AC_GETTOPWND = 79;
inline constexpr std::uint16_t AC_SETFLOATZORDER = 80;
inline constexpr std::uint16_t AC_UPDATEFLOATBITMAPS = 81;
inline constexpr std::uint16_t AC_KILLTIMERS = 82;
inline constexpr std::uint16_t AC_SETNCSKINNED = 83;
inline constexpr std::uint16_t AC_REFLECTLAYOUT = 84;
inline constexpr std::uint16_t AC_ISOPAQUE = 85;
inline constexpr std::uint16_t AC_GETCOMMONSKINDATA = 86;
inline constexpr std::uint16_t AC_ANIMSCALE = 87;
inline constexpr std::uint16_t AC_GETDEFSECTION = 88;
inline constexpr std::uint16_t AC_GETMOUSEAREA = 89;
inline constexpr std::uint16_t AC_GETTEXTRECT = 90;
inline constexpr std::uint16_t AC_DOSKIPCLICK = 91;
inline constexpr std::uint16_t AC_STATUSBAR = 92;
inline constexpr std::uint16_t AC_ANIMPAINT = 93;

// The wParam of a command with its argument.
[[nodiscard]] constexpr std::uint32_t MakeCommandParam(std::uint16_t command,
                                                       std::uint16_t argument = 0) {
  return (static_cast<std::uint32_t>(command) << 16) | argument;
}
[[nodiscard]] constexpr std::uint16_t CommandOf(std::uintptr_t wparam) {
  return static_cast<std::uint16_t>((wparam >> 16) & 0xFFFFu);
}
[[nodiscard]] constexpr std::uint16_t ArgumentOf(std::uintptr_t wparam) {
  return static_cast<std::uint16_t>(wparam & 0xFFFFu);
}

// The commands shifted into the high word, for a wParam without argument.
inline constexpr std::uint32_t AC_SETNEWSKIN_HI = MakeCommandParam(AC_SETNEWSKIN);
inline constexpr std::uint32_t AC_REMOVESKIN_HI = MakeCommandParam(AC_REMOVESKIN);
inline constexpr std::uint32_t AC_REFRESH_HI = MakeCommandParam(AC_REFRESH);
inline constexpr std::uint32_t AC_GETBG_HI = MakeCommandParam(AC_GETBG);
inline constexpr std::uint32_t AC_PREPARECACHE_HI = MakeCommandParam(AC_PREPARECACHE);
inline constexpr std::uint32_t AC_GETCONTROLCOLOR_HI = MakeCommandParam(AC_GETCONTROLCOLOR);
inline constexpr std::uint32_t AC_CTRLHANDLED_HI = MakeCommandParam(AC_CTRLHANDLED);
inline constexpr std::uint32_t AC_GETSKINDATA_HI = MakeCommandParam(AC_GETSKINDATA);
inline constexpr std::uint32_t AC_ISOPAQUE_HI = MakeCommandParam(AC_ISOPAQUE);

}  // namespace kestrune::skin
