#pragma once
// The main view's command table: ids (kept from the original resource numbering, as
// action data), menu placement, texts, toolbar tooltips and status prompts.

#include <array>
#include <string_view>

namespace cmd {
inline constexpr int kLoad = 32819;
inline constexpr int kSave = 32820;
inline constexpr int kNew = 32821;
inline constexpr int kExit = 57665;
inline constexpr int kModify = 32776;
inline constexpr int kDelete = 32775;
inline constexpr int kCut = 32816;
inline constexpr int kPaste = 32817;
inline constexpr int kUndo = 33001;
inline constexpr int kRedo = 33002;
inline constexpr int kMoveUp = 33003;
inline constexpr int kMoveDown = 33004;
inline constexpr int kCopy = 33005;
inline constexpr int kAddOneLine = 32771;
inline constexpr int kAddTwoLine = 32772;
inline constexpr int kAddTitle = 32793;
inline constexpr int kAddBitmap = 32773;
inline constexpr int kAddAnimation = 32774;
inline constexpr int kAddDateTime = 32794;
inline constexpr int kAddDDay = 32896;
inline constexpr int kAddTemperature = 32924;
inline constexpr int kAddEvent = 32900;
inline constexpr int kBoardSize = 32898;
inline constexpr int kSetClock = 32795;
inline constexpr int kWindowAlways = 32849;
inline constexpr int kWindowOnly = 32850;
inline constexpr int kWindowSet = 32851;
inline constexpr int kBrightLevels = 32864;
inline constexpr int kBrightMax = 32855;
inline constexpr int kBrightDayNight = 32865;
inline constexpr int kBrightApply = 32860;
inline constexpr int kConnectX = 32921;
inline constexpr int kConnectO = 32920;
inline constexpr int kConnectApply = 32922;
inline constexpr int kPreview = 32912;
inline constexpr int kNews = 32923;
inline constexpr int kTransmitSerial = 32917;
inline constexpr int kTransmitTcp = 32918;
inline constexpr int kPortSetup = 32777;
inline constexpr int kIpSetup = 32914;
inline constexpr int kSignBook = 33040;
inline constexpr int kFleetSend = 33041;
inline constexpr int kFleetClock = 33042;
inline constexpr int kFleetEvent = 33043;
inline constexpr int kFleetEventCancel = 33044;
inline constexpr int kAbout = 57664;
// Reading the sign back.
inline constexpr int kPullFromSign = 33020;
inline constexpr int kVerifyAfterSend = 33021;
inline constexpr int kSendButton = 1001;  // the "전   송" button under the list, no menu item
inline constexpr int kSeparator = 0;
}  // namespace cmd

struct CommandInfo {
  int id;
  std::string_view menu;     // top-level menu title
  std::string_view text;     // menu item text
  std::string_view tooltip;  // toolbar tooltip; empty when the command has no button
  std::string_view prompt;   // status-bar prompt
};

// In menu order; a menu's items appear in the order they are listed.
extern const std::array<CommandInfo, 48> kCommands;

// Toolbar buttons in order; cmd::kSeparator marks a separator.
extern const std::array<int, 27> kToolbarLayout;
