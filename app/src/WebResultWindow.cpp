#include "app/WebResultWindow.h"

#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QtMath>
#include <algorithm>

#include "app/ToolBitmaps.h"
#include "app/WindowLook.h"

namespace flinder {
namespace {

// Wide enough for the buttons below even when the table is narrow.
constexpr int MinimumTextWidth = 300;

}  // namespace

WebResultWindow::WebResultWindow(QWidget* owner)
    : FixedDialog(
          owner,
          Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint,
          false) {
  setWindowTitle(QStringLiteral("Export for Web"));
  setWindowIcon(FlinderIcon());
  setFont(ArialFont(8.25));

  txtSizes = new QPlainTextEdit(this);
  txtSizes->setReadOnly(true);
  txtSizes->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  txtSizes->setLineWrapMode(QPlainTextEdit::NoWrap);
  txtSizes->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  cmdCopyHtml = new QPushButton(QStringLiteral("Copy &HTML"), this);
  cmdClose = new QPushButton(QStringLiteral("Close"), this);
  cmdClose->setDefault(true);
  connect(cmdCopyHtml, &QPushButton::clicked, this, [this] {
    if (CopyHtml) CopyHtml();
  });
  connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdCopyHtml);
  buttons->addWidget(cmdClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(txtSizes);
  layout->addLayout(buttons);
  // The window takes the size of its table and keeps it.
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void WebResultWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape)
    accept();
  else
    FixedDialog::keyPressEvent(event);
}

void WebResultWindow::ShowTable(const QString& table) {
  // The last line's newline would leave an empty line below the table.
  const QString text = table.endsWith('\n') ? table.chopped(1) : table;
  txtSizes->setPlainText(text);
  txtSizes->ensurePolished();  // the frame as the style draws it
  // Laying each line out gives its height, and the document its width.
  const QTextDocument& document = *txtSizes->document();
  QAbstractTextDocumentLayout& layout = *document.documentLayout();
  qreal height = 2 * document.documentMargin();
  for (QTextBlock line = document.begin(); line.isValid(); line = line.next())
    height += layout.blockBoundingRect(line).height();
  const int edges = 2 * txtSizes->frameWidth() + 2;
  QSize size(qCeil(layout.documentSize().width()) + edges, qCeil(height) + edges);
  const QSize room = screen()->availableGeometry().size() * 3 / 4;
  // Scroll bars only when the screen is too small for the table: shown at
  // the start, each would take room the other then needed.
  const bool fits = size.width() <= room.width() && size.height() <= room.height();
  const Qt::ScrollBarPolicy bars = fits ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
  txtSizes->setHorizontalScrollBarPolicy(bars);
  txtSizes->setVerticalScrollBarPolicy(bars);
  if (!fits) size += QSize(1, 1) * style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  txtSizes->setFixedSize(size.boundedTo(room).expandedTo(QSize(MinimumTextWidth, 0)));
  open();
}

}  // namespace flinder
