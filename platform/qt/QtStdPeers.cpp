#include "platform/qt/QtStdPeers.h"

#include "platform/base/SysUtils.h"
#include "platform/qt/QtBackend.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>

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
    SetPopupMenuPresenter(showQtMenu);
}
