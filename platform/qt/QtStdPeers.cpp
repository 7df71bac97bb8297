#include "platform/qt/QtStdPeers.h"

#include "platform/base/SysUtils.h"
#include "platform/qt/QtBackend.h"
#include "platform/ui/Menus.h"
#include "platform/ui/RichEdit.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/StdCtrls.h"

#include <QAbstractItemView>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <functional>
#include <map>

namespace {

// Character (code point) offsets of the model and UTF-16 offsets of Qt.
int toQtOffset(const std::string& text, int chars) {
    std::u32string u = Utf8ToUtf32(text);
    return int(QString::fromStdU32String(u.substr(0, std::size_t(std::max(0, chars)))).size());
}

int toCharOffset(const QString& text, int qtOffset) {
    return int(text.left(qtOffset).toStdU32String().size());
}

// Anchor and caret of a line edit's selection, in characters.
std::pair<int, int> lineSelection(const QLineEdit* line) {
    QString text = line->text();
    int caret = line->cursorPosition();
    int anchor = caret;
    if (line->hasSelectedText()) {
        int start = line->selectionStart();
        int end = start + int(line->selectedText().size());
        anchor = caret == start ? end : start;
    }
    return {toCharOffset(text, anchor), toCharOffset(text, caret)};
}

void showSelection(QLineEdit* line, const std::string& text, int selStart, int selLength) {
    int start = toQtOffset(text, selStart);
    int end = toQtOffset(text, selStart + selLength);
    if (end > start)
        line->setSelection(start, end - start);
    else
        line->setCursorPosition(start);
}

// Shows the model's text and selection in Line, leaving an unchanged text alone.
void showText(QLineEdit* line, const std::string& text, int selStart, int selLength) {
    QString shown = QString::fromStdString(text);
    if (line->text() != shown) line->setText(shown);
    showSelection(line, text, selStart, selLength);
}

// The text a line widget shows for its control.
std::string shownText(const TCustomEdit* edit) {
    return edit->EditText();
}
std::string shownText(const TCustomComboBox* combo) {
    return combo->Text();
}

// Reports to Control (an edit or a combo box) what changes natively in Line: its context menu,
// drops and mouse selection. Syncing is set while the peer itself writes to the widget.
template <class C>
void reportLineChanges(QObject* peer, QLineEdit* line, C* control, const bool& syncing,
                       bool caretMoves) {
    QObject::connect(line, &QLineEdit::textEdited, peer, [line, control, &syncing](const QString&) {
        if (syncing) return;
        auto [anchor, caret] = lineSelection(line);
        control->PeerTextEdited(line->text().toStdString(), anchor, caret);
    });
    auto selection = [line, control, &syncing] {
        if (syncing || line->text().toStdString() != shownText(control)) return;
        auto [anchor, caret] = lineSelection(line);
        control->PeerSelectionChanged(anchor, caret);
    };
    QObject::connect(line, &QLineEdit::selectionChanged, peer, selection);
    if (caretMoves) QObject::connect(line, &QLineEdit::cursorPositionChanged, peer, selection);
}

// Replaces the items of a list or combo widget with Items.
template <class W> void showItems(W* widget, const TStrings* items) {
    widget->clear();
    for (int i = 0; i < items->Count(); ++i) widget->addItem(QString::fromStdString(items->Get(i)));
}

void setBackground(QWidget* w, TColor color) {
    QPalette p = w->palette();
    p.setColor(QPalette::Active, QPalette::Base, ToQColor(color));
    p.setColor(QPalette::Inactive, QPalette::Base, ToQColor(color));
    // A disabled field shows the button face whatever its colour, so that it looks disabled.
    p.setColor(QPalette::Disabled, QPalette::Base, ToQColor(clBtnFace));
    w->setPalette(p);
}

// --- edit -----------------------------------------------------------------------------------
class QtEditPeer : public TQtWindowPeer {
public:
    explicit QtEditPeer(TCustomEdit* edit) : TQtWindowPeer(edit), edit_(edit) {
        line_ = new QLineEdit(ParentWidget());
        Attach(line_);
        for (int what : {int(pcStyle), int(pcColor), int(pcSelection)}) Changed(what);
        // Key input never reaches the widget.
        reportLineChanges(this, line_.data(), edit_, syncing_, true);
    }

    // The widget outlives this part of the peer; it must not call back into it.
    ~QtEditPeer() override {
        if (line_) QObject::disconnect(line_, nullptr, this, nullptr);
    }

    void Changed(int what) override {
        if (!line_) return;
        switch (what) {
        case pcText:
        case pcSelection: {
            syncing_ = true;
            showText(line_, edit_->EditText(), edit_->SelStart(), edit_->SelLength());
            syncing_ = false;
            break;
        }
        case pcStyle:
            line_->setReadOnly(edit_->ReadOnly());
            line_->setMaxLength(edit_->MaxLength() > 0 ? edit_->MaxLength() : 32767);
            line_->setEchoMode(edit_->PasswordChar() ? QLineEdit::Password : QLineEdit::Normal);
            line_->setAlignment((edit_->Alignment() == taRightJustify ? Qt::AlignRight
                                 : edit_->Alignment() == taCenter     ? Qt::AlignHCenter
                                                                      : Qt::AlignLeft) |
                                Qt::AlignVCenter);
            {
                // The text keeps out of what the formatting rectangle leaves (an edit's buttons).
                // The native widget keeps its own margin, as wide as the default pixel.
                const TRect r = edit_->FormatRect();
                const int frame = edit_->BorderStyle() == bsSingle ? 2 : 0;
                line_->setTextMargins(std::max(0, r.Left - frame - 1), 0,
                                      std::max(0, edit_->ClientWidth() - frame - r.Right), 0);
            }
            break;
        case pcBorder:
            line_->setFrame(edit_->BorderStyle() == bsSingle);
            break;
        case pcColor:
            setBackground(line_, edit_->Color());
            break;
        default:
            TQtWindowPeer::Changed(what);
        }
    }

private:
    TCustomEdit* edit_;
    QPointer<QLineEdit> line_;
    bool syncing_ = false;
};

// --- list box -------------------------------------------------------------------------------
class QtListPeer : public TQtWindowPeer {
public:
    explicit QtListPeer(TCustomListBox* list) : TQtWindowPeer(list), list_(list) {
        widget_ = new QListWidget(ParentWidget());
        widget_->setUniformItemSizes(true);
        Attach(widget_);
        for (int what : {int(pcStyle), int(pcItems), int(pcColor)}) Changed(what);
        // Clicks land on the viewport, which Qt handles natively; the model then decides.
        QObject::connect(widget_, &QListWidget::itemPressed, this, [this](QListWidgetItem* item) {
            if (syncing_) return;
            SetModifierKeyState(QtModifiersToShift(QApplication::keyboardModifiers()));
            list_->PeerSelect(widget_->row(item));
            showSelection();
        });
        QObject::connect(widget_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) {
            if (!syncing_) list_->Perform(CN_COMMAND, MAKEWPARAM(0, LBN_DBLCLK));
        });
    }

    ~QtListPeer() override {
        if (widget_) QObject::disconnect(widget_, nullptr, this, nullptr);
    }

    void Changed(int what) override {
        if (!widget_) return;
        switch (what) {
        case pcItems: {
            syncing_ = true;
            showItems(widget_.data(), list_->Items());
            syncing_ = false;
            showSelection();
            break;
        }
        case pcItemIndex:
        case pcSelection:
            showSelection();
            break;
        case pcStyle:
            widget_->setSelectionMode(!list_->MultiSelect() ? QAbstractItemView::SingleSelection
                                      : list_->ExtendedSelect()
                                          ? QAbstractItemView::ExtendedSelection
                                          : QAbstractItemView::MultiSelection);
            break;
        case pcBorder:
            widget_->setFrameShape(list_->BorderStyle() == bsSingle ? QFrame::StyledPanel
                                                                    : QFrame::NoFrame);
            break;
        case pcColor:
            setBackground(widget_, list_->Color());
            break;
        default:
            TQtWindowPeer::Changed(what);
        }
    }

private:
    void showSelection() {
        syncing_ = true;
        for (int i = 0; i < widget_->count(); ++i)
            widget_->item(i)->setSelected(list_->Selected(i));
        int index = list_->ItemIndex();
        if (index >= 0 && index < widget_->count()) {
            widget_->setCurrentRow(index, QItemSelectionModel::NoUpdate);
            widget_->scrollToItem(widget_->item(index));
        }
        syncing_ = false;
    }
    TCustomListBox* list_;
    QPointer<QListWidget> widget_;
    bool syncing_ = false;
};

// --- combo box ------------------------------------------------------------------------------
// Tells its peer when Qt opens or closes the list.
class NotifyingComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void(bool)> onPopup;
    std::function<void()> afterPopup; // the list is shown and placed by Qt
    void showPopup() override {
        if (onPopup) onPopup(true);
        QComboBox::showPopup();
        if (afterPopup) afterPopup();
    }
    void hidePopup() override {
        QComboBox::hidePopup();
        if (onPopup) onPopup(false);
    }
};

class QtComboPeer : public TQtWindowPeer {
public:
    explicit QtComboPeer(TCustomComboBox* combo) : TQtWindowPeer(combo), combo_(combo) {
        widget_ = new NotifyingComboBox(ParentWidget());
        widget_->setInsertPolicy(QComboBox::NoInsert);
        Attach(widget_);
        for (int what : {int(pcStyle), int(pcItems), int(pcColor)}) Changed(what);
        widget_->onPopup = [this](bool open) {
            // The open list takes the mouse: the press that opened it is released in the list,
            // never in the combo, whose capture ends here.
            if (open && GetCaptureControl() == combo_) ReleaseCapture();
            if (syncing_ || combo_->DroppedDown() == open) return;
            syncing_ = true;
            combo_->Perform(CB_SHOWDROPDOWN, open);
            syncing_ = false;
        };
        widget_->afterPopup = [this] { placeList(); };
        QObject::connect(widget_, qOverload<int>(&QComboBox::activated), this, [this](int index) {
            if (syncing_ || index == combo_->ItemIndex()) return;
            combo_->PeerSelect(index);
        });
        // While the list is open Qt gives it the keyboard; the keys still go to the combo, as
        // a platform combo keeps them with its list open. The item under the mouse is the
        // highlighted one.
        QAbstractItemView* view = widget_->view();
        view_ = view;
        view->installEventFilter(this);
        QObject::connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
                         [this](const QModelIndex& current) {
                             if (!syncing_ && combo_->DroppedDown())
                                 combo_->PeerHighlight(current.row());
                         });
    }

    ~QtComboPeer() override {
        if (widget_) {
            widget_->onPopup = nullptr;
            widget_->afterPopup = nullptr;
            QObject::disconnect(widget_, nullptr, this, nullptr);
            if (view_) {
                view_->removeEventFilter(this);
                QObject::disconnect(view_->selectionModel(), nullptr, this, nullptr);
            }
        }
        if (connectedLine_) QObject::disconnect(connectedLine_, nullptr, this, nullptr);
    }

    void Changed(int what) override {
        if (!widget_) return;
        switch (what) {
        case pcItems: {
            syncing_ = true;
            showItems(widget_.data(), combo_->Items());
            syncing_ = false;
            showCurrent();
            break;
        }
        case pcItemIndex:
        case pcText:
        case pcSelection:
            showCurrent();
            break;
        case pcStyle: {
            bool editable = combo_->Style() == csDropDown || combo_->Style() == csSimple;
            syncing_ = true;
            if (widget_->isEditable() != editable) widget_->setEditable(editable);
            syncing_ = false;
            widget_->setMaxVisibleItems(std::max(1, combo_->DropDownCount()));
            if (QLineEdit* line = widget_->lineEdit()) {
                line->setMaxLength(combo_->MaxLength() > 0 ? combo_->MaxLength() : 32767);
                connectLine(line);
            }
            showCurrent();
            break;
        }
        case pcDropDown: {
            syncing_ = true;
            bool shown = widget_->view() && widget_->view()->isVisible();
            if (combo_->DroppedDown() && !shown) {
                // The list shows DropDownCount items, whatever the count was when it last opened.
                widget_->setMaxVisibleItems(std::max(1, combo_->DropDownCount()));
                widget_->showPopup();
            } else if (!combo_->DroppedDown() && shown) {
                widget_->hidePopup();
            } else if (shown) {
                placeList();
                showHighlight();
            }
            syncing_ = false;
            break;
        }
        case pcColor:
            setBackground(widget_, combo_->Color());
            break;
        default:
            TQtWindowPeer::Changed(what);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (widget_ && view_ && watched == view_.data() &&
            (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
            QCoreApplication::sendEvent(widget_, event);
            return true;
        }
        return TQtWindowPeer::eventFilter(watched, event);
    }

private:
    void showHighlight() {
        const int i = combo_->DropDownIndex();
        if (view_ && view_->currentIndex().row() != i)
            view_->setCurrentIndex(view_->model()->index(i, 0));
    }
    // The open list takes the model's left edge and width; Qt keeps its height and its side
    // (below or above the combo).
    void placeList() {
        QWidget* list = widget_->view() ? widget_->view()->window() : nullptr;
        if (!list || !list->isVisible() || !combo_->DroppedDown()) return;
        const TRect r = combo_->DroppedRect();
        list->setGeometry(r.Left, list->y(), r.Width(), list->height());
    }
    void connectLine(QLineEdit* line) {
        if (line == connectedLine_) return;
        connectedLine_ = line;
        reportLineChanges(this, line, combo_, syncing_, false);
    }
    void showCurrent() {
        syncing_ = true;
        if (widget_->currentIndex() != combo_->ItemIndex())
            widget_->setCurrentIndex(combo_->ItemIndex());
        if (QLineEdit* line = widget_->lineEdit())
            showText(line, combo_->Text(), combo_->SelStart(), combo_->SelLength());
        syncing_ = false;
    }
    TCustomComboBox* combo_;
    QPointer<NotifyingComboBox> widget_;
    QPointer<QAbstractItemView> view_; // the list's view
    QPointer<QLineEdit> connectedLine_;
    bool syncing_ = false;
};

// --- rich edit ------------------------------------------------------------------------------
// The offset of a raised or lowered baseline in twips, kept exactly beside Qt's alignment.
constexpr int kOffsetProperty = QTextFormat::UserProperty + 1;

QTextCharFormat toCharFormat(const TRichTextRun& r) {
    QTextCharFormat f;
    if (!r.FontName.empty()) f.setFontFamilies({QString::fromStdString(r.FontName)});
    if (r.Size > 0) f.setFontPointSize(r.Size);
    f.setFontWeight(r.Style.Contains(fsBold) ? QFont::Bold : QFont::Normal);
    f.setFontItalic(r.Style.Contains(fsItalic));
    f.setFontUnderline(r.Style.Contains(fsUnderline));
    f.setFontStrikeOut(r.Style.Contains(fsStrikeOut));
    if (r.Color != clNone) f.setForeground(ToQColor(r.Color));
    f.setProperty(kOffsetProperty, r.Offset);
    f.setVerticalAlignment(r.Offset > 0   ? QTextCharFormat::AlignSuperScript
                           : r.Offset < 0 ? QTextCharFormat::AlignSubScript
                                          : QTextCharFormat::AlignNormal);
    return f;
}

TRichTextRun fromCharFormat(const QTextCharFormat& f) {
    TRichTextRun r;
    if (f.hasProperty(QTextFormat::FontFamilies)) {
        const QStringList families = f.fontFamilies().toStringList();
        if (!families.isEmpty()) r.FontName = families.first().toStdString();
    }
    if (f.hasProperty(QTextFormat::FontPointSize)) r.Size = int(f.fontPointSize() + 0.5);
    if (f.fontWeight() >= QFont::Bold) r.Style.Include(fsBold);
    if (f.fontItalic()) r.Style.Include(fsItalic);
    if (f.fontUnderline()) r.Style.Include(fsUnderline);
    if (f.fontStrikeOut()) r.Style.Include(fsStrikeOut);
    if (f.hasProperty(QTextFormat::ForegroundBrush)) {
        const QColor c = f.foreground().color();
        r.Color = RGB(c.red(), c.green(), c.blue());
    }
    r.Offset = f.intProperty(kOffsetProperty);
    return r;
}

// The runs of a document: a block ends in a line break, a line separator is one.
std::vector<TRichTextRun> documentRuns(const QTextDocument* doc) {
    std::vector<TRichTextRun> runs;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid()) continue;
            TRichTextRun r = fromCharFormat(frag.charFormat());
            QString text = frag.text();
            text.replace(QChar::LineSeparator, QChar('\n'));
            text.remove(QChar::ObjectReplacementCharacter);
            r.Text = text.toStdString();
            runs.push_back(std::move(r));
        }
        if (b.next().isValid()) {
            TRichTextRun r = runs.empty() ? fromCharFormat(b.charFormat()) : runs.back();
            r.Text = "\n";
            runs.push_back(std::move(r));
        }
    }
    return runs;
}

class QtRichEditPeer : public TQtWindowPeer {
public:
    explicit QtRichEditPeer(TCustomRichEdit* edit) : TQtWindowPeer(edit), edit_(edit) {
        text_ = new QTextEdit(ParentWidget());
        text_->setAcceptRichText(false);
        text_->setTabChangesFocus(false);
        Attach(text_);
        for (int what : {int(pcText), int(pcBorder), int(pcColor)}) Changed(what);
        QTextDocument* doc = text_->document();
        QObject::connect(doc, &QTextDocument::contentsChanged, this, [this] {
            if (syncing_) return;
            auto [anchor, caret] = selection();
            edit_->PeerDocumentChanged(documentRuns(text_->document()), anchor, caret);
        });
        auto selectionMoved = [this] {
            if (syncing_) return;
            auto [anchor, caret] = selection();
            edit_->PeerSelectionChanged(anchor, caret);
        };
        QObject::connect(text_, &QTextEdit::cursorPositionChanged, this, selectionMoved);
        QObject::connect(text_, &QTextEdit::selectionChanged, this, selectionMoved);
        QObject::connect(doc->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged,
                         this, [this](const QSizeF& size) {
                             edit_->PeerRequestSize(text_->viewport()->width(),
                                                    int(size.height() + 0.5));
                         });
    }

    ~QtRichEditPeer() override {
        if (text_) {
            QObject::disconnect(text_, nullptr, this, nullptr);
            QObject::disconnect(text_->document(), nullptr, this, nullptr);
            QObject::disconnect(text_->document()->documentLayout(), nullptr, this, nullptr);
        }
    }

    void Changed(int what) override {
        if (!text_) return;
        switch (what) {
        case pcText:
            showDocument();
            showSelection();
            break;
        case pcSelection:
        case pcTypingFormat:
            showSelection();
            break;
        case pcBorder:
            text_->setFrameShape(edit_->BorderStyle() == bsSingle ? QFrame::StyledPanel
                                                                  : QFrame::NoFrame);
            break;
        case pcColor:
            setBackground(text_, edit_->Color());
            break;
        default:
            TQtWindowPeer::Changed(what);
        }
    }

    // A character sent or posted to the control (not typed) is typed into the widget.
    void DefaultProc(TMessage& Message) override {
        TQtWindowPeer::DefaultProc(Message);
        if (!text_ || Message.Msg != WM_CHAR || IsDelivering(Message)) return;
        const auto c = char32_t(Message.WParam);
        QTextCursor cursor = text_->textCursor();
        if (c == U'\r')
            cursor.insertBlock();
        else if (c >= 0x20 || c == U'\t')
            cursor.insertText(QString::fromStdU32String(std::u32string(1, c)));
        text_->setTextCursor(cursor);
    }

private:
    QString plain() const { return text_->document()->toPlainText(); }
    std::pair<int, int> selection() const {
        const QTextCursor c = text_->textCursor();
        const QString t = plain();
        return {toCharOffset(t, c.anchor()), toCharOffset(t, c.position())};
    }
    void showDocument() {
        syncing_ = true;
        QTextDocument* doc = text_->document();
        doc->clear();
        QTextCursor c(doc);
        for (const TRichTextRun& r : edit_->Document().Runs()) {
            const QTextCharFormat f = toCharFormat(r);
            const QStringList lines = QString::fromStdString(r.Text).split(QChar('\n'));
            for (qsizetype k = 0; k < lines.size(); ++k) {
                if (k > 0) c.insertBlock(QTextBlockFormat(), f);
                c.insertText(lines[k], f);
            }
        }
        syncing_ = false;
    }
    void showSelection() {
        syncing_ = true;
        const std::string t = plain().toStdString();
        const int start = edit_->SelStart(), end = start + edit_->SelLength();
        QTextCursor c(text_->document());
        c.setPosition(toQtOffset(t, start));
        c.setPosition(toQtOffset(t, end), QTextCursor::KeepAnchor);
        text_->setTextCursor(c);
        if (TRichTextRun f; edit_->TypingFormat(f)) text_->setCurrentCharFormat(toCharFormat(f));
        syncing_ = false;
    }
    TCustomRichEdit* edit_;
    QPointer<QTextEdit> text_;
    bool syncing_ = false;
};

// --- scroll bar -----------------------------------------------------------------------------
// The user's actions go to the parent as WM_VSCROLL / WM_HSCROLL; the bar then shows the
// position the model kept.
class QtScrollBarPeer : public TQtWindowPeer {
public:
    explicit QtScrollBarPeer(TScrollBar* bar) : TQtWindowPeer(bar), bar_(bar) {
        widget_ = new QScrollBar(ParentWidget());
        Attach(widget_);
        Changed(pcStyle);
        QObject::connect(widget_, &QAbstractSlider::actionTriggered, this, [this](int action) {
            if (syncing_) return;
            WORD code = SB_ENDSCROLL;
            switch (action) {
            case QAbstractSlider::SliderSingleStepSub:
                code = SB_LINEUP;
                break;
            case QAbstractSlider::SliderSingleStepAdd:
                code = SB_LINEDOWN;
                break;
            case QAbstractSlider::SliderPageStepSub:
                code = SB_PAGEUP;
                break;
            case QAbstractSlider::SliderPageStepAdd:
                code = SB_PAGEDOWN;
                break;
            case QAbstractSlider::SliderMove:
                code = SB_THUMBTRACK;
                break;
            case QAbstractSlider::SliderToMinimum:
                code = SB_TOP;
                break;
            case QAbstractSlider::SliderToMaximum:
                code = SB_BOTTOM;
                break;
            default:
                return;
            }
            QPointer<QScrollBar> alive(widget_);
            TWinControl* parent = bar_->Parent();
            const int pos = widget_->sliderPosition();
            if (parent)
                parent->Perform(bar_->Kind() == sbVertical ? WM_VSCROLL : WM_HSCROLL,
                                MAKEWPARAM(code, WORD(pos)),
                                reinterpret_cast<LPARAM>(bar_->Handle()));
            // Qt applies the slider position after this signal: the model's.
            if (alive) widget_->setSliderPosition(bar_->Position());
        });
    }

    ~QtScrollBarPeer() override {
        if (widget_) QObject::disconnect(widget_, nullptr, this, nullptr);
    }

    void Changed(int what) override {
        if (!widget_) return;
        if (what != pcStyle) {
            TQtWindowPeer::Changed(what);
            return;
        }
        syncing_ = true;
        widget_->setOrientation(bar_->Kind() == sbVertical ? Qt::Vertical : Qt::Horizontal);
        widget_->setRange(bar_->Min(), bar_->MaxPosition());
        widget_->setPageStep(std::max(1, bar_->PageSize()));
        widget_->setSingleStep(std::max(1, bar_->SmallChange()));
        widget_->setValue(bar_->Position());
        syncing_ = false;
    }

private:
    TScrollBar* bar_;
    QPointer<QScrollBar> widget_;
    bool syncing_ = false;
};

// --- popup menus ----------------------------------------------------------------------------
void buildMenu(QMenu* qmenu, const TMenuItem* parent, std::map<QAction*, TMenuItem*>& actions) {
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (!item->Visible()) continue;
        if (item->IsLine()) {
            qmenu->addSeparator();
            continue;
        }
        QString caption = QString::fromStdString(item->Caption());
        if (item->Count() > 0) {
            QMenu* sub = qmenu->addMenu(caption);
            sub->setEnabled(item->Enabled());
            buildMenu(sub, item, actions);
            continue;
        }
        QAction* action = qmenu->addAction(caption);
        action->setEnabled(item->Enabled());
        action->setCheckable(item->Checked() || item->AutoCheck() || item->RadioItem());
        action->setChecked(item->Checked());
        if (item->ShortCut() != scNone)
            action->setShortcut(
                QKeySequence(QString::fromStdString(ShortCutToText(item->ShortCut()))));
        if (item->Default()) {
            QFont f = action->font();
            f.setBold(true);
            action->setFont(f);
        }
        actions[action] = item;
    }
}

TMenuItem* showQtMenu(TPopupMenu& menu, TPoint screenPos) {
    QMenu qmenu;
    std::map<QAction*, TMenuItem*> actions;
    buildMenu(&qmenu, menu.Items(), actions);
    if (qmenu.isEmpty()) return nullptr;
    QAction* chosen = qmenu.exec(QPoint(screenPos.X, screenPos.Y));
    auto it = actions.find(chosen);
    return it == actions.end() ? nullptr : it->second;
}

} // namespace

namespace {
// A peer of class P for controls of class C; another class with the same peer kind gets the
// custom-drawn window.
template <class P, class C> TQtPeerMaker peerMaker() {
    return [](TWinControl* c) -> std::unique_ptr<TWindowPeer> {
        if (auto* control = dynamic_cast<C*>(c)) return std::make_unique<P>(control);
        return std::make_unique<TQtCustomPeer>(c);
    };
}
} // namespace

void RegisterQtStdPeers() {
    RegisterQtPeerClass("EDIT", peerMaker<QtEditPeer, TCustomEdit>());
    RegisterQtPeerClass("LISTBOX", peerMaker<QtListPeer, TCustomListBox>());
    RegisterQtPeerClass("COMBOBOX", peerMaker<QtComboPeer, TCustomComboBox>());
    RegisterQtPeerClass("RICHEDIT", peerMaker<QtRichEditPeer, TCustomRichEdit>());
    RegisterQtPeerClass("SCROLLBAR", peerMaker<QtScrollBarPeer, TScrollBar>());
    SetPopupMenuPresenter(showQtMenu);
}
