#include "shared/codes.h"

namespace item {

const std::array<std::string_view, kEntryEffectCount> kEntryEffectTexts = {
    "1. 지나가기",
    "2. 오른쪽에서 들어오기",
    "3. 아래에서 들어오기",
    "4. 위에서 들어오기",
    "5. 가운데에서 위 / 아래로",
    "6. 위 / 아래에서 가운데로",
    "7. 좌 / 우에서 가운데로",
    "8. 가운데에서 좌 / 우로",
    "9. 위에서 회전하면서 들어오기",
    "10. 아래에서 회전하면서 들어오기",
    "11.좌측에서 회전하면서 들어오기",
    "12.우측에서 회전하면서 들어오기",
    "13.가운데에서 상하좌우로 확대",
    "14.가운데에서 좌우로 확대",
    "15.상하좌우에서 가운데로 축소",
    "16.좌우에서 가운데로 축소",
    "17. 효과없음(유지시간동안유지)",
};

const std::array<std::string_view, kExitEffectCount> kExitEffectTexts = {
    "1. 왼쪽으로 나가기",
    "2. 아래로 나가기",
    "3. 위로 나가기",
    "4. 위 / 아래에서 가운데로 나가기",
    "5. 위 / 아래로 나가기",
    "6. 좌 / 우로 나가기",
    "7. 좌 / 우에서 가운데로 나가기",
    "8. 위로 회전하면서 나가기",
    "9. 아래로 회전하면서 나가기",
    "10. 좌측으로 회전하면서 나가기",
    "11. 우측으로 회전하면서 나가기",
    "12. 상하좌우로 확대하면서 나가기",
    "13. 좌우로 확대하면서 나가기",
    "14. 상하좌우에서 가운데로 축소하기",
    "15. 좌우에서 가운데로 축소하기",
    "16. 효과없음",
};

const std::array<std::string_view, kHoldCount> kHoldTexts = {"1", "2", "3", "4", "5",
                                                             "6", "7", "8", "9", "10"};
const std::array<std::string_view, kSpeedCount> kSpeedTexts = {"1", "2", "3", "4", "5"};
const std::array<std::string_view, kBitmapModeCount> kBitmapModeTexts = {"1.유지시간동안유지",
                                                                         "2.좌로 스크롤"};

std::string_view KindLabel(std::uint8_t kind) {
  static constexpr std::array<std::string_view, 8> labels = {
      "1줄문장", "2줄문장", "제목과문장", "비트맵", "애니메이션", "시각표시", "디데이", "온도표시"};
  return kind < labels.size() ? labels[kind] : std::string_view{};
}

const std::array<std::string_view, 4> kTextColourNames = {"빨강색", "초록색", "노랑색", "검정색"};
const std::array<std::string_view, 4> kBackColourNames = {"검정색", "빨강색", "초록색", "노랑색"};
const std::array<std::string_view, 4> kBoardFontNames = {"굴림체", "궁서체", "옛체", "매직체"};
const std::array<std::string_view, kNewsCategoryCount> kNewsCategoryNames = {
    "사회", "정치", "문화", "스포츠", "경제", "국제", "과학/기술", "기상"};

}  // namespace item
