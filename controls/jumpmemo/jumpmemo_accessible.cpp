#include "controls/jumpmemo/jumpmemo_accessible.h"

#include <QAccessibleWidget>

#include "controls/jumpmemo/jumpmemo.h"
#include "toolkit/widgets/cp1251.h"

namespace mirnax {

namespace {
class TJumpMemoAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit TJumpMemoAccessible(TJumpMemo* memo) : QAccessibleWidget(memo, QAccessible::EditableText) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    s.multiLine = true;
    return s;
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return Text();
    return QAccessibleWidget::text(t);
  }

  // The text interface over the whole text; the memo's own selection is not offered.
  void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QString text(int startOffset, int endOffset) const override {
    return Text().mid(startOffset, endOffset - startOffset);
  }
  int characterCount() const override { return static_cast<int>(Text().size()); }
  QRect characterRect(int) const override { return {}; }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int* startOffset, int* endOffset) const override {
    *startOffset = *endOffset = offset;
    return {};
  }

 private:
  QString Text() const {
    const TS_StringList& lines = static_cast<const TJumpMemo*>(widget())->Lines();
    QString out;
    for (int i = 0; i < lines.Count(); ++i) {
      if (i > 0) out += QLatin1Char('\n');
      out += Cp1251ToQString(lines.View(i));
    }
    return out;
  }
};

QAccessibleInterface* JumpMemoFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(TJumpMemo::staticMetaObject.className()) && object && object->isWidgetType())
    return new TJumpMemoAccessible(static_cast<TJumpMemo*>(object));
  return nullptr;
}
}  // namespace

void InstallJumpMemoAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(JumpMemoFactory);
    return true;
  }();
  (void)installed;
}

}  // namespace mirnax
