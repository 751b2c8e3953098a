#pragma once
// Inside the effects: the drivers of each code and the helpers they share. The engine uses
// effects.h only.

#include "sign/effect_copy.h"
#include "sign/effects.h"
#include "sign/frame_buffer.h"

namespace sign {

// One effect: `init` sets up the state after StartEffect has reset it; `step` draws one
// moving frame into `back` and returns true, or returns false without drawing when the
// motion has already ended (the caller then draws the finishing frame).
struct EffectDriver {
  int code = -1;
  void (*init)(EffectState&) = nullptr;
  bool (*step)(EffectState&, const FrameBuffer& work, FrameBuffer& back) = nullptr;
};

// The state's rows and columns as a copy area.
inline EffectArea AreaOf(const EffectState& s) {
  return EffectArea{FamilyTop(s.family), FamilyRowCount(s.family), s.width};
}
inline int RowsOf(const EffectState& s) {
  return FamilyRowCount(s.family);
}

// The state's block fields as a copy block.
CopyBlock BlockOf(const EffectState& s);

// Step kinds; each also records the speed level the frame period should follow.
void UseWholeDotStep(EffectState& s);  // step 1, the item's level
void UseFixedStep(EffectState& s);     // step 0x10000, the item's level
void UseRotationStep(EffectState& s);  // (6 - level) x 2 x 0x10000, level 4
void UseZoomStep(EffectState& s);      // (6 - level) x 0x10000, level 4

// Slides (effects_slides.cpp).
void EntryFromRightInit(EffectState& s);  // entry 1
bool EntryFromRightStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);
void EntryFromBottomInit(EffectState& s);  // entry 2
bool EntryFromBottomStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);
void EntryFromTopInit(EffectState& s);  // entry 3
bool EntryFromTopStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);
void ExitToLeftInit(EffectState& s);  // exit 0
bool ExitToLeftStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);
void ExitToBottomInit(EffectState& s);  // exit 1
bool ExitToBottomStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);
void ExitToTopInit(EffectState& s);  // exit 2
bool ExitToTopStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);

// Splits (effects_splits.cpp).
void SplitInit(EffectState& s);  // progress 0, whole-dot or fixed by code
bool EntryRowsOutOfMiddleStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);
bool EntryRowsFromEdgesStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);
bool EntryColumnsFromEdgesStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);
bool EntryColumnsOutOfMiddleStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);
bool ExitRowsIntoMiddleStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);
bool ExitRowsApartStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);
bool ExitColumnsApartStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);
bool ExitColumnsIntoMiddleStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);

// Rotations (effects_rotations.cpp).
void EntryRotateFromAboveInit(EffectState& s);  // entry 8
void EntryRotateFromBelowInit(EffectState& s);  // entry 9
void EntryRotateFromLeftInit(EffectState& s);   // entry 10
void EntryRotateFromRightInit(EffectState& s);  // entry 11
bool EntryRotateVerticalStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);
bool EntryRotateFromLeftStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);
bool EntryRotateFromRightStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);
void ExitRotateInit(EffectState& s);  // exits 7-10
bool ExitRotateStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);

// Zooms (effects_zooms.cpp).
void EntryZoomInit(EffectState& s);                                                // entries 12-15
bool EntryGrowStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);    // 12, 13
bool EntryShrinkStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);  // 14, 15
void ExitZoomInit(EffectState& s);                                                 // exits 11-14
bool ExitEnlargeStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);  // 11, 12
bool ExitShrinkStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back);   // 13, 14

}  // namespace sign
