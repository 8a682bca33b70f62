#include "app/frmMain.h"

#include <QComboBox>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

#include "app/ExportWorker.h"
#include "app/ToolBitmaps.h"
#include "app/WindowLook.h"
#include "app/frmGIF.h"
#include "app/frmNew.h"
#include "design/ValueText.h"

namespace flinder {
namespace {

const QColor PanelColour(0, 64, 128);
const QColor PlateColour(192, 192, 192);

}  // namespace

frmMain::frmMain(PlatformDialogs& dialogs) : dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Flinder"));
  setWindowIcon(FlinderIcon());
  auto* client = new QWidget(this);
  setCentralWidget(client);
  Menus = BuildMainMenus(menuBar());
  ConnectMenus();
  ConnectUndo();
  BuildToolButtons();

  cmbAnim = new QComboBox(client);
  cmbAnim->setGeometry(176, 0, 97, 22);
  cmbAnim->setFont(ArialFont(8.25));
  cmbAnim->setEditable(false);
  connect(cmbAnim, &QComboBox::activated, this, [this] { cmbAnim_Click(); });

  picHold = new SunkenBox(client, {0, 32, 273, 281}, PanelColour);
  Panel = std::make_unique<ParameterPanel>(picHold->Client(), Settings, History, dialogs_, dlgAnim);

  picPlate = new SunkenBox(client, {280, 0, 199, 312}, PlateColour);
  picPlate->MouseUp = [this](int button, QPointF position) { picPlate_MouseUp(button, position); };
  picAnim = new PictureBox(picPlate->Client(), 41, 41);
  picAnim->move(40, 40);
  picAnim->Surface.SetForeColor(ColourOf(palette().color(QPalette::Text)));
  picAnim->SetBackColor(ColourOf(palette().color(QPalette::Base)));
  picAnim->setAccessibleName(QStringLiteral("Preview"));
  picAnim->MouseDown = [this](int button, QPointF position) {
    picAnim_MouseDown(button, position);
  };
  picAnim->MouseMove = [this](int button, QPointF position) {
    picAnim_MouseMove(button, position);
  };
  picAnim->MouseUp = [this](int, QPointF) { picAnim_MouseUp(); };

  NewDialog = new frmNew(this);
  Progress = new frmGIF(this);
  Progress->Cancelled = [this] { CancelExport(); };

  timAnim.setTimerType(Qt::PreciseTimer);
  timAnim.setInterval(10);
  connect(&timAnim, &QTimer::timeout, this, [this] { timAnim_Timer(); });

  resize(DesignClientWidth, DesignClientHeight + menuBar()->sizeHint().height());
}

frmMain::~frmMain() {
  // The record and renderer outlive the controls they would tell.
  Settings.SetObserver(nullptr);
  Renderer.SetObserver(nullptr);
}

void frmMain::BuildToolButtons() {
  for (ToolButtonLook& look : ToolButtonLooks()) {
    auto* button = new PictureBox(centralWidget(), 24, 22);
    button->move(look.Left, 0);
    button->SetPicture(look.Picture);
    button->setToolTip(look.ToolTip);
    button->MakeButton(look.ToolTip);
    const int index = look.Index;
    button->MouseDown = [this, index](int b, QPointF) { cmdAdd_MouseDown(index, b); };
    button->MouseUp = [this, index](int b, QPointF) { cmdAdd_MouseUp(index, b); };
    cmdAdd[index] = button;
  }
}

void frmMain::ConnectMenus() {
  auto on = [this](QAction* item, void (frmMain::*action)()) {
    connect(item, &QAction::triggered, this, [this, action] { (this->*action)(); });
  };
  connect(Menus.mnuExit, &QAction::triggered, this, &QWidget::close);
  on(Menus.mnuStar, &frmMain::ToggleStar);
  on(Menus.mnuText, &frmMain::ToggleText);
  on(Menus.mnuShapeShadow, &frmMain::ToggleShapeShadow);
  on(Menus.mnuTextShadow, &frmMain::ToggleTextShadow);
  auto flip = [this](QAction* item, Switch which, const QString& name) {
    connect(item, &QAction::triggered, this, [this, which, name] {
      History.Record(name, [&] { Settings.SetSwitch(which, !Settings.SwitchOn(which)); });
    });
  };
  flip(Menus.mnuTextFront, Switch::TextFront, QStringLiteral("Bring to Front"));
  flip(Menus.mnuTransparent, Switch::Transparent, QStringLiteral("Transparent Background"));
  // An export preference, kept in the design file as soon as it changes.
  connect(Menus.mnuOptimise, &QAction::triggered, this, [this](bool checked) {
    Designs.WritePreference("Export", "Optimise", BooleanText(checked));
  });
  // The menu has flipped the check mark already; the window follows it.
  connect(Menus.mnuOnTop, &QAction::triggered, this,
          [this](bool checked) { SetWindowOnTop(this, checked); });
  on(Menus.mnuSaveAs, &frmMain::mnuSaveAs_Click);
  on(Menus.mnuUpdate, &frmMain::mnuUpdate_Click);
  on(Menus.mnuRemove, &frmMain::mnuRemove_Click);
  on(Menus.mnuRename, &frmMain::mnuRename_Click);
  on(Menus.mnuAbout, &frmMain::mnuAbout_Click);
  on(Menus.mnuCopyPicture, &frmMain::mnuCopyPicture_Click);
  on(Menus.mnuCopyHtml, &frmMain::mnuCopyHtml_Click);
  on(Menus.mnuExportWeb, &frmMain::ExportForWeb);
  auto command = [this](QAction* item, std::int16_t code) {
    connect(item, &QAction::triggered, this, [this, code] { RunCommand(code); });
  };
  command(Menus.mnuSave, 4);
  command(Menus.mnuAdd, 0);
  command(Menus.mnuFont, 5);
  command(Menus.mnuContents, 6);
  ConnectExportChoices();
}

// ---- layout ----

QSize frmMain::ClientSize() const {
  return {width(), height() - menuBar()->heightForWidth(width())};
}

void frmMain::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  LayOutMainWindow();
}

void frmMain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) LayOutMainWindow();
}

void frmMain::ResizeOuter(int outerWidth, int outerHeight) {
  const QSize frame = frameGeometry().size() - size();
  const QSize before = size();
  resize(std::max(outerWidth - frame.width(), 1), std::max(outerHeight - frame.height(), 1));
  // The new size is laid out at once (as a nested resize); a size the
  // window system refused changes nothing and ends the nesting.
  if (size() != before) LayOutMainWindow();
}

void frmMain::LayOutMainWindow() {
  if (isMinimized() || !picPlate) return;
  int plateHeight = ClientSize().height() - picPlate->y();
  if (plateHeight < picAnim->height()) plateHeight = picAnim->height() + 10;
  picPlate->resize(picPlate->width(), plateHeight);
  if (picPlate->y() + plateHeight > ClientSize().height())
    ResizeOuter(frameGeometry().width(), picPlate->y() + plateHeight);
  if (ClientSize().width() < 300)
    ResizeOuter(picPlate->x() + picPlate->width(), frameGeometry().height());
  picPlate->resize(std::max(ClientSize().width() - picPlate->x(), 0), picPlate->height());
  CentrePreview();
}

void frmMain::CentrePreview() {
  picAnim->move((picPlate->width() - picAnim->width()) / 2,
                (picPlate->height() - picAnim->height()) / 2);
}

// ---- what the record and renderer tell the window ----

void frmMain::ValueLabelChanged(int index, const std::string& text) {
  Panel->ShowValue(index, text);
}

void frmMain::ThumbMoved(int index, float position) {
  Panel->MoveThumb(index, position);
}

void frmMain::TimerIntervalChanged(int milliseconds) {
  timAnim.setInterval(milliseconds);
}

void frmMain::PreviewWidthChanged(int pixels) {
  picAnim->SetPictureSize(pixels, picAnim->height());
  CentrePreview();
}

void frmMain::PreviewHeightChanged(int pixels) {
  picAnim->SetPictureSize(picAnim->width(), pixels);
  CentrePreview();
}

void frmMain::SwatchColourChanged(ColourValue colour) {
  Panel->ShowSwatchColour(colour);
}

void frmMain::TimerEnabledChanged(bool enabled) {
  if (!enabled)
    timAnim.stop();
  else if (!timAnim.isActive())
    timAnim.start();
}

void frmMain::SelectedSlotChanged(int slot) {
  Panel->ShowSelectedSlot(slot);
}

void frmMain::CaptionChanged() {
  Panel->ShowCaption(Settings.Text);
}

void frmMain::FrameCountChanged(const std::string& text) {
  Panel->ShowFrameCount(text);
}

}  // namespace flinder
