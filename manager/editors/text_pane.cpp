#include "manager/editors/text_pane.h"

#include <QButtonGroup>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QRadioButton>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QVBoxLayout>
#include <algorithm>

#include "manager/editors/pane_format.h"

namespace {

// Pane text copied inside the program keeps its attributes through this format:
// per character a 4-byte big-endian code point and the attribute byte.
const QString kStyledMime = QStringLiteral("application/x-brellion-styled-text");

QString FromU32(std::u32string_view s) {
  return QString::fromUcs4(s.data(), static_cast<qsizetype>(s.size()));
}

std::u32string ToU32(const QString& s) {
  return s.toStdU32String();
}

StyledText StyledRange(const QTextDocument* doc, int from, int to) {
  StyledText out;
  const int end = to < 0 ? doc->characterCount() - 1 : to;
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment frag = it.fragment();
      const int fs = frag.position();
      const int s = std::max(fs, from);
      const int e = std::min(fs + frag.length(), end);
      if (s >= e) continue;
      const item::TextAttribute a = AttributeOf(frag.charFormat());
      for (char32_t c : ToU32(frag.text().mid(s - fs, e - s))) out.push_back({c, a});
    }
    const int separator = b.position() + b.length() - 1;
    if (b.next().isValid() && separator >= from && separator < end) {
      out.push_back({U'\u2029', AttributeOf(b.charFormat())});
    }
  }
  return out;
}

QByteArray PackStyled(const StyledText& text) {
  QByteArray data;
  for (const StyledChar& c : text) {
    for (int shift = 24; shift >= 0; shift -= 8) data.append(static_cast<char>(c.ch >> shift));
    data.append(static_cast<char>(c.attr.Pack()));
  }
  return data;
}

StyledText UnpackStyled(const QByteArray& data) {
  StyledText out;
  for (qsizetype i = 0; i + 5 <= data.size(); i += 5) {
    char32_t ch = 0;
    for (int j = 0; j < 4; ++j) ch = (ch << 8) | static_cast<std::uint8_t>(data[i + j]);
    out.push_back({ch, item::TextAttribute::Unpack(static_cast<std::uint8_t>(data[i + 4]))});
  }
  return out;
}

QString Spaced(const QString& chars) {
  QStringList list;
  for (char32_t c : ToU32(chars)) list << FromU32(std::u32string_view(&c, 1));
  return list.join(' ');
}

}  // namespace

CPaneEdit::CPaneEdit(QWidget* parent) : QTextEdit(parent) {
  setLineWrapMode(NoWrap);
  setWordWrapMode(QTextOption::NoWrap);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTabChangesFocus(true);
  setAcceptRichText(true);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

  QPalette p = palette();
  p.setColor(QPalette::Base, Qt::black);
  p.setColor(QPalette::Text, TextColourValue(item::TextColour::Red));
  setPalette(p);
  QFont f(ScreenFace(item::BoardFont::Gulim));
  f.setBold(true);
  f.setPointSizeF(kPanePointSize);
  document()->setDefaultFont(f);
  setCurrentCharFormat(FormatFor({}));
}

QSize CPaneEdit::sizeHint() const {
  int line = 0;
  for (int i = 0; i < 4; ++i) {
    QFont f(ScreenFace(static_cast<item::BoardFont>(i)));
    f.setBold(true);
    f.setPointSizeF(kPanePointSize);
    line = std::max(line, QFontMetrics(f).height());
  }
  const int h = line + 2 * static_cast<int>(document()->documentMargin()) + 2 * frameWidth() + 2;
  return {520, h};
}

QSize CPaneEdit::minimumSizeHint() const {
  return {120, sizeHint().height()};
}

StyledText CPaneEdit::styledText(int from, int to) const {
  return StyledRange(document(), from, to);
}

void CPaneEdit::insertStyled(const StyledText& text) {
  QTextCursor c = textCursor();
  c.beginEditBlock();
  c.removeSelectedText();
  for (std::size_t i = 0; i < text.size();) {
    std::size_t j = i;
    std::u32string run;
    while (j < text.size() && text[j].attr == text[i].attr) run += text[j++].ch;
    c.insertText(FromU32(run), FormatFor(text[i].attr));
    i = j;
  }
  c.endEditBlock();
  setTextCursor(c);
  ensureCursorVisible();
}

std::size_t CPaneEdit::roomBytes() const {
  if (limit_ == kNoLimit) return kNoLimit;
  const std::size_t total = Cp949Bytes(ToU32(document()->toRawText()));
  const std::size_t selected = Cp949Bytes(ToU32(textCursor().selectedText()));
  const std::size_t rest = total - std::min(total, selected);
  return rest >= limit_ ? 0 : limit_ - rest;
}

StyledText CPaneEdit::admit(const StyledText& input) {
  std::u32string chars;
  for (const StyledChar& c : input) chars += c.ch;
  const InsertCheck check = CheckInsertion(chars, roomBytes());
  StyledText out;
  for (const StyledChar& c : input) {
    if (out.size() == check.accepted.size()) break;
    const char32_t ch = SingleLineChar(c.ch);
    if (Cp949Width(ch) == 0) continue;
    out.push_back({ch, c.attr});
  }
  pendingUnencodable_ = FromU32(check.refused);
  pendingOverLimit_ = check.overLimit;
  return out;
}

void CPaneEdit::flushRefusal() {
  if (!pendingUnencodable_.isEmpty() || pendingOverLimit_) {
    emit refused(pendingUnencodable_, pendingOverLimit_);
  }
  pendingUnencodable_.clear();
  pendingOverLimit_ = false;
}

void CPaneEdit::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    e->accept();
    emit returnPressed();
    return;
  }
  const QString typed = e->text();
  const bool printable = !typed.isEmpty() && typed.at(0).unicode() >= 0x20 &&
                         typed.at(0).unicode() != 0x7F &&
                         !(e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
  if (!printable || isReadOnly()) {
    QTextEdit::keyPressEvent(e);
    return;
  }
  StyledText in;
  const item::TextAttribute a = AttributeOf(currentCharFormat());
  for (char32_t c : ToU32(typed)) in.push_back({c, a});
  const StyledText ok = admit(in);
  if (ok.size() == in.size()) {
    QTextEdit::keyPressEvent(e);
  } else {
    e->accept();
    std::u32string chars;
    for (const StyledChar& c : ok) chars += c.ch;
    if (!chars.empty()) insertPlainText(FromU32(chars));
  }
  flushRefusal();
}

void CPaneEdit::inputMethodEvent(QInputMethodEvent* e) {
  if (e->commitString().isEmpty()) {
    QTextEdit::inputMethodEvent(e);
    return;
  }
  StyledText in;
  for (char32_t c : ToU32(e->commitString())) in.push_back({c, {}});
  const StyledText ok = admit(in);
  std::u32string chars;
  for (const StyledChar& c : ok) chars += c.ch;
  if (FromU32(chars) == e->commitString()) {
    QTextEdit::inputMethodEvent(e);
  } else {
    QInputMethodEvent cut(e->preeditString(), e->attributes());
    cut.setCommitString(FromU32(chars), e->replacementStart(), e->replacementLength());
    QTextEdit::inputMethodEvent(&cut);
    e->accept();
  }
  flushRefusal();
}

bool CPaneEdit::canInsertFromMimeData(const QMimeData* source) const {
  return source->hasFormat(kStyledMime) || QTextEdit::canInsertFromMimeData(source);
}

void CPaneEdit::insertFromMimeData(const QMimeData* source) {
  if (isReadOnly()) return;
  StyledText in;
  if (source->hasFormat(kStyledMime)) {
    in = UnpackStyled(source->data(kStyledMime));
  } else if (source->hasHtml()) {
    QTextDocument pasted;
    pasted.setHtml(source->html());
    in = StyledRange(&pasted, 0, -1);
  } else if (source->hasText()) {
    // Plain text takes the format new typing would get.
    const item::TextAttribute a = AttributeOf(currentCharFormat());
    for (char32_t c : ToU32(source->text())) in.push_back({c, a});
  } else {
    return;
  }
  const StyledText ok = admit(in);
  if (!ok.empty()) insertStyled(ok);
  flushRefusal();
}

QMimeData* CPaneEdit::createMimeDataFromSelection() const {
  const QTextCursor c = textCursor();
  QMimeData* base = QTextEdit::createMimeDataFromSelection();
  auto* data = new QMimeData;
  data->setText(base->text());
  data->setHtml(base->html());
  delete base;
  data->setData(kStyledMime, PackStyled(styledText(c.selectionStart(), c.selectionEnd())));
  return data;
}

CTextPane::CTextPane(const QString& caption, QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  edit_ = new CPaneEdit(this);
  if (!caption.isEmpty()) {
    auto* label = new QLabel(caption, this);
    label->setBuddy(edit_);
    layout->addWidget(label);
  }
  layout->addWidget(edit_);

  struct GroupSpec {
    const char* title;
    const std::array<std::string_view, 4>& names;
  };
  const GroupSpec specs[3] = {{"글자색", item::kTextColourNames},
                              {"배경색", item::kBackColourNames},
                              {"글자체", item::kBoardFontNames}};
  auto* row = new QHBoxLayout;
  for (int g = 0; g < 3; ++g) {
    auto* box = new QGroupBox(QString::fromUtf8(specs[g].title), this);
    auto* boxLayout = new QHBoxLayout(box);
    groups_[g] = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
      const std::string_view name = specs[g].names[static_cast<std::size_t>(i)];
      auto* b = new QRadioButton(QString::fromUtf8(name.data(), qsizetype(name.size())), box);
      groups_[g]->addButton(b, i);
      boxLayout->addWidget(b);
    }
    groups_[g]->button(0)->setChecked(true);
    row->addWidget(box);
  }
  layout->addLayout(row);
  note_ = new QLabel(this);
  note_->setWordWrap(true);
  note_->hide();
  layout->addWidget(note_);

  connect(groups_[TextColourGroup], &QButtonGroup::idClicked, this,
          [this](int id) { applyTextColour(static_cast<item::TextColour>(id)); });
  connect(groups_[BackColourGroup], &QButtonGroup::idClicked, this,
          [this](int id) { applyBackColour(static_cast<item::BackColour>(id)); });
  connect(groups_[FontGroup], &QButtonGroup::idClicked, this,
          [this](int id) { applyFont(static_cast<item::BoardFont>(id)); });
  connect(edit_, &CPaneEdit::returnPressed, this, &CTextPane::returnPressed);
  connect(edit_, &CPaneEdit::refused, this, &CTextPane::showRefusal);
  connect(edit_, &QTextEdit::textChanged, this, [this] {
    refusal_.clear();
    updateNote();
  });
}

QRadioButton* CTextPane::button(Group g, int index) const {
  return qobject_cast<QRadioButton*>(groups_[g]->button(index));
}

QString CTextPane::note() const {
  return note_->text();
}

void CTextPane::setStyledText(const StyledText& text) {
  edit_->clear();
  edit_->setCurrentCharFormat(FormatFor({}));
  StyledText oneLine = text;
  for (StyledChar& c : oneLine) c.ch = SingleLineChar(c.ch);
  edit_->insertStyled(oneLine);
}

std::size_t CTextPane::textBytes() const {
  return Cp949Bytes(styledText());
}

void CTextPane::setQuarters(const item::Quarter& text, const item::Quarter& attrs) {
  setStyledText(ReadPaneQuarters(text, attrs));
}

std::size_t CTextPane::writeQuarters(item::Quarter& text, item::Quarter& attrs) const {
  return WritePaneQuarters(styledText(), text, attrs);
}

void CTextPane::applyTextColour(item::TextColour c) {
  applyFormat(TextColourFormat(c));
}
void CTextPane::applyBackColour(item::BackColour c) {
  applyFormat(BackColourFormat(c));
}
void CTextPane::applyFont(item::BoardFont f) {
  applyFormat(FontFormat(f));
}

void CTextPane::applyFormat(const QTextCharFormat& f) {
  QTextCursor c = edit_->textCursor();
  // Moving the caret resets the format for new typing, so an unmoved caret keeps what
  // earlier clicks gave it.
  if (c.hasSelection() || !c.atEnd()) {
    if (c.hasSelection()) c.mergeCharFormat(f);
    c.clearSelection();
    c.movePosition(QTextCursor::End);
    edit_->setTextCursor(c);
  }
  edit_->mergeCurrentCharFormat(f);
  edit_->setFocus();
}

void CTextPane::showRefusal(const QString& unencodable, bool overLimit) {
  QStringList parts;
  if (!unencodable.isEmpty())
    parts << QStringLiteral("입력할 수 없는 글자: ") + Spaced(unencodable);
  if (overLimit) parts << QStringLiteral("%1바이트까지만 입력할 수 있습니다").arg(byteLimit());
  refusal_ = parts.join(QStringLiteral("  "));
  updateNote();
}

void CTextPane::updateNote() {
  QStringList parts;
  if (!refusal_.isEmpty()) parts << refusal_;
  const std::u32string text = ToU32(edit_->document()->toRawText());
  const std::u32string blank = BlankOnBoard(text);
  if (!blank.empty()) {
    parts << QStringLiteral("전광판에 빈칸으로 나오는 글자: ") + Spaced(FromU32(blank));
  }
  // Only a damaged stored text can bring these in; say so rather than lose them quietly.
  std::u32string lost;
  for (char32_t c : text) {
    if (c != U'\u2029' && Cp949Width(c) == 0 && lost.find(c) == std::u32string::npos) lost += c;
  }
  if (!lost.empty()) parts << QStringLiteral("저장되지 않는 글자: ") + Spaced(FromU32(lost));
  if (Cp949Bytes(text) > item::kMaxTextBytes) {
    parts << QStringLiteral("%1바이트를 넘는 부분은 저장되지 않습니다").arg(item::kMaxTextBytes);
  }
  note_->setText(parts.join('\n'));
  note_->setVisible(!parts.isEmpty());
}
