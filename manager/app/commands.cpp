#include "manager/app/commands.h"

const std::array<CommandInfo, 36> kCommands = {{
    {cmd::kLoad, "파일(&F)", "불러오기", "불러오기", "저장해 둔 프로젝트 파일을 불러옵니다"},
    {cmd::kSave, "파일(&F)", "저장", "저장하기", "작업한 목록과 설정을 프로젝트 파일로 저장합니다"},
    {cmd::kNew, "파일(&F)", "새로만들기", "새로만들기", "빈 목록으로 새로 시작합니다"},
    {cmd::kExit, "파일(&F)", "종료(&X)", "", "프로그램을 마칩니다"},
    {cmd::kModify, "편집", "수정", "수정하기", "선택한 아이템을 수정합니다"},
    {cmd::kDelete, "편집", "삭제", "삭제하기", "선택한 아이템을 삭제합니다"},
    {cmd::kCut, "편집", "잘라내기", "잘라내기", "선택한 아이템을 잘라냅니다"},
    {cmd::kPaste, "편집", "붙여넣기", "붙여넣기", "잘라낸 아이템을 선택한 곳에 넣습니다"},
    {cmd::kAddOneLine, "추가하기", "1줄문장", "한줄문장추가", "한 줄 문장을 추가합니다"},
    {cmd::kAddTwoLine, "추가하기", "2줄문장", "2줄문장추가", "두 줄 문장을 추가합니다"},
    {cmd::kAddTitle, "추가하기", "제목과문장", "제목과 문장추가", "제목과 문장을 추가합니다"},
    {cmd::kAddBitmap, "추가하기", "비트맵", "비트맵추가", "비트맵 그림을 추가합니다"},
    {cmd::kAddAnimation, "추가하기", "애니메이션", "애니메이션추가", "GIF 애니메이션을 추가합니다"},
    {cmd::kAddDateTime, "추가하기", "날짜 / 시각 표시", "날짜/시각 표시",
     "날짜와 시각 표시를 추가합니다"},
    {cmd::kAddDDay, "추가하기", "디데이", "디데이", "디데이 표시를 추가합니다"},
    {cmd::kAddTemperature, "추가하기", "온도표시", "", "온도 표시를 추가합니다"},
    {cmd::kAddEvent, "이벤트", "이벤트 추가", "이벤트", "이벤트 문장을 보냅니다"},
    {cmd::kBoardSize, "규격", "전광판 사이즈", "", "전광판의 크기를 설정합니다"},
    {cmd::kSetClock, "시각설정", "설정하기", "시각설정", "전광판의 시각을 맞춥니다"},
    {cmd::kWindowAlways, "표출시간", "표출시간에 관계없이표출", "",
     "표출시간에 관계없이 표출합니다"},
    {cmd::kWindowOnly, "표출시간", "표출시간에만 표출", "", "표출시간에만 표출합니다"},
    {cmd::kWindowSet, "표출시간", "설정", "", "표출시간 설정을 전광판에 보냅니다"},
    {cmd::kBrightLevels, "밝기", "주야간별 밝기값 설정", "", "주간과 야간의 밝기값을 정합니다"},
    {cmd::kBrightMax, "밝기", "최대밝기로 켜기", "", "최대 밝기로 켭니다"},
    {cmd::kBrightDayNight, "밝기", "주야간별 다른밝기로 켜기", "", "주야간별 다른 밝기로 켭니다"},
    {cmd::kBrightApply, "밝기", "적용", "", "밝기 설정을 전광판에 보냅니다"},
    {cmd::kConnectX, "연결", "X", "", "지나가기 문장을 이어 보이지 않습니다"},
    {cmd::kConnectO, "연결", "O", "", "지나가기 문장을 이어서 보입니다"},
    {cmd::kConnectApply, "연결", "적용", "", "연결 설정을 전광판에 보냅니다"},
    {cmd::kPreview, "미리보기", "보기", "미리보기", "목록을 화면에서 미리 봅니다"},
    {cmd::kNews, "뉴스", "뉴스항목(DMB TPEG)", "", "표출할 뉴스 항목을 고릅니다"},
    {cmd::kTransmitSerial, "전송옵션", "RS232 전송", "", "RS232로 전송합니다"},
    {cmd::kTransmitTcp, "전송옵션", "TCP/IP 전송", "", "TCP/IP로 전송합니다"},
    {cmd::kPortSetup, "통신설정", "포트설정", "포트설정", "시리얼 포트를 설정합니다"},
    {cmd::kIpSetup, "통신설정", "IP설정", "IP설정", "전광판의 IP 주소와 포트를 설정합니다"},
    {cmd::kAbout, "도움말(&H)", "Brellion 정보(&A)...", "", "프로그램 정보를 봅니다"},
}};

const std::array<int, 24> kToolbarLayout = {
    cmd::kLoad,       cmd::kSave,      cmd::kNew,       cmd::kSeparator,    cmd::kModify,
    cmd::kDelete,     cmd::kCut,       cmd::kPaste,     cmd::kSeparator,    cmd::kAddOneLine,
    cmd::kAddTwoLine, cmd::kAddTitle,  cmd::kAddBitmap, cmd::kAddAnimation, cmd::kAddDateTime,
    cmd::kAddDDay,    cmd::kSeparator, cmd::kAddEvent,  cmd::kSeparator,    cmd::kPreview,
    cmd::kSeparator,  cmd::kSetClock,  cmd::kPortSetup, cmd::kIpSetup};

const CommandInfo* FindCommand(int id) {
  for (const CommandInfo& c : kCommands) {
    if (c.id == id) return &c;
  }
  return nullptr;
}
