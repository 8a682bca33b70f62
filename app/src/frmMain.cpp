#include "app/frmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QWindow>
#include <algorithm>

#include "app/MouseButtons.h"
#include "app/ToolBitmaps.h"
#include "app/WindowLook.h"
#include "app/frmGIF.h"
#include "app/frmNew.h"
#include "design/DecimalText.h"
#include "design/ValueText.h"
#include "render/Checkerboard.h"

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
  BuildToolButtons();

  cmbAnim = new QComboBox(client);
  cmbAnim->setGeometry(176, 0, 97, 22);
  cmbAnim->setFont(ArialFont(8.25));
  cmbAnim->setEditable(false);
  connect(cmbAnim, &QComboBox::activated, this, [this] { cmbAnim_Click(); });

  picHold = new SunkenBox(client, {0, 32, 273, 281}, PanelColour);
  Panel = std::make_unique<ParameterPanel>(picHold->Client(), Settings, dialogs_, dlgAnim);

  picPlate = new SunkenBox(client, {280, 0, 199, 312}, PlateColour);
  picPlate->MouseUp = [this](int button, QPointF position) { picPlate_MouseUp(button, position); };
  picAnim = new PictureBox(picPlate->Client(), 41, 41);
  picAnim->move(40, 40);
  picAnim->Surface.SetForeColor(ColourOf(palette().color(QPalette::Text)));
  picAnim->SetBackColor(ColourOf(palette().color(QPalette::Base)));
  picAnim->MouseDown = [this](int button, QPointF) { picAnim_MouseDown(button); };
  picAnim->MouseMove = [this](int button, QPointF position) {
    picAnim_MouseMove(button, position);
  };

  NewDialog = new frmNew(this);
  Progress = new frmGIF(this);

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
  connect(Menus.mnuTextFront, &QAction::triggered, this,
          [this] { Settings.SetSwitch(Switch::TextFront, !Settings.TextFront); });
  connect(Menus.mnuTransparent, &QAction::triggered, this,
          [this] { Settings.SetSwitch(Switch::Transparent, !Settings.Transparent); });
  // An export preference, kept in the design file as soon as it changes.
  connect(Menus.mnuOptimise, &QAction::triggered, this,
          [this](bool checked) { Designs.WriteIni("Export", "Optimise", BooleanText(checked)); });
  // The menu has flipped the check mark already; the window follows it.
  connect(Menus.mnuOnTop, &QAction::triggered, this,
          [this](bool checked) { SetWindowOnTop(this, checked); });
  on(Menus.mnuSaveAs, &frmMain::mnuSaveAs_Click);
  on(Menus.mnuUpdate, &frmMain::mnuUpdate_Click);
  on(Menus.mnuRemove, &frmMain::mnuRemove_Click);
  on(Menus.mnuRename, &frmMain::mnuRename_Click);
  on(Menus.mnuAbout, &frmMain::mnuAbout_Click);
  auto command = [this](QAction* item, std::int16_t code) {
    connect(item, &QAction::triggered, this, [this, code] { RunCommand(code); });
  };
  command(Menus.mnuSave, 4);
  command(Menus.mnuAdd, 0);
  command(Menus.mnuFont, 5);
  command(Menus.mnuContents, 6);
}

// ---- start-up and shutdown ----

void frmMain::InitApplication(const std::string& iniFile) {
  Designs.ReportFileErrors = true;
  Designs.IniFile = iniFile;
  ManualFile =
      QFileInfo(QString::fromStdString(iniFile)).absolutePath().toStdString() + "/manual.html";
  FillDesignList();
  StartupDone = false;
  // The image module and the angle factor need no initialisation here.
  Panel->SetupSliders();
  RestoreWindowPlace();
  RestoreExportPreferences();
  StartupDone = true;
  if (cmbAnim->count() > 0) {
    cmbAnim->setCurrentIndex(0);
    cmbAnim_Click();
  }
  timAnim.start();
}

void frmMain::FillDesignList() {
  std::string problem = Designs.WhyUnreadable();
  std::vector<std::string> names;
  if (problem.empty()) {
    try {
      names = Designs.ListShapes();
    } catch (const DesignFileError& error) {
      problem = error.what();
    }
  }
  if (!problem.empty()) {
    // The session starts empty and never writes over a file it could not read.
    dialogs_.ShowMessage(this, QString::fromStdString(problem));
    Designs.RefuseWrites(problem);
    Designs.ReportFileErrors = false;
    return;
  }
  for (const std::string& name : names) AddToList(QString::fromStdString(name));
}

void frmMain::AddToList(const QString& name) {
  int place = 0;
  while (place < cmbAnim->count() &&
         QString::compare(cmbAnim->itemText(place), name, Qt::CaseInsensitive) <= 0)
    ++place;
  cmbAnim->insertItem(place, name);
}

double frmMain::TwipsPerPixelX() const {
  return 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchX();
}

double frmMain::TwipsPerPixelY() const {
  return 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchY();
}

void frmMain::RestoreWindowPlace() {
  auto read = [this](const char* key) {
    try {
      return Designs.ReadIni("Window", key);
    } catch (const DesignFileError&) {
      return std::string();  // read as missing, like a file that is not there
    }
  };
  const double twipsX = TwipsPerPixelX(), twipsY = TwipsPerPixelY();
  double left = ParseNumber(read("Left"));
  double top = ParseNumber(read("Top"));

  // A place where no part of the title bar is on a screen (one that was
  // unplugged) could never be reached: it is treated as a first start.
  const QRect frame = frameGeometry();
  const int titleHeight =
      std::max(geometry().y() - frame.y(), style()->pixelMetric(QStyle::PM_TitleBarHeight));
  const QRect titleBar(static_cast<int>(std::lround(static_cast<float>(left) / twipsX)),
                       static_cast<int>(std::lround(static_cast<float>(top) / twipsY)),
                       frame.width(), titleHeight);
  const QList<QScreen*> screens = QGuiApplication::screens();
  const bool reachable = std::any_of(screens.begin(), screens.end(), [&](const QScreen* screen) {
    return screen->geometry().intersects(titleBar);
  });

  if ((left == 0 && top == 0) || !reachable) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    left = screen.x() * twipsX + (screen.width() * twipsX - frame.width() * twipsX) / 2;
    top = screen.y() * twipsY + (screen.height() * twipsY - frame.height() * twipsY) / 2;
    Designs.WriteIni("Window", "Left", DoubleText(left));
    Designs.WriteIni("Window", "Top", DoubleText(top));
  }

  Menus.mnuOnTop->setChecked(!IsTrue(read("OnTop")));
  ToggleOnTop();
  move(static_cast<int>(std::lround(static_cast<float>(left) / twipsX)),
       static_cast<int>(std::lround(static_cast<float>(top) / twipsY)));
}

void frmMain::RestoreExportPreferences() {
  try {
    Menus.mnuOptimise->setChecked(IsTrue(Designs.ReadIni("Export", "Optimise")));
  } catch (const DesignFileError&) {
    Menus.mnuOptimise->setChecked(false);  // the file was reported once already
  }
}

void frmMain::SaveWindowPlacement() {
  const QPoint place = frameGeometry().topLeft();
  Designs.WriteIni("Window", "Left", SingleText(static_cast<float>(place.x() * TwipsPerPixelX())));
  Designs.WriteIni("Window", "Top", SingleText(static_cast<float>(place.y() * TwipsPerPixelY())));
  Designs.WriteIni("Window", "OnTop", BooleanText(Menus.mnuOnTop->isChecked()));
}

void frmMain::closeEvent(QCloseEvent* event) {
  SaveWindowPlacement();
  event->accept();
  emit Ended();
}

void frmMain::ToggleOnTop() {
  Menus.mnuOnTop->setChecked(!Menus.mnuOnTop->isChecked());
  SetWindowOnTop(this, Menus.mnuOnTop->isChecked());
}

void frmMain::SetWindowOnTop(QWidget* window, bool onTop) {
  Qt::WindowFlags flags = window->windowFlags();
  flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
  // Telling the window system directly keeps the window where it is;
  // setWindowFlags would hide and re-create it.
  window->overrideWindowFlags(flags);
  if (QWindow* handle = window->windowHandle()) handle->setFlags(flags);
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

// ---- tool buttons and toggles ----

void frmMain::cmdAdd_MouseDown(int index, int button) {
  if (button == LeftButton) cmdAdd.at(index)->SetBorder(true);
}

void frmMain::cmdAdd_MouseUp(int index, int button) {
  cmdAdd.at(index)->SetBorder(false);
  if (button != LeftButton) return;
  switch (index) {
    case 1:
      ToggleStar();
      break;
    case 2:
      ToggleShapeShadow();
      break;
    case 3:
      ToggleText();
      break;
    case 4:
      ToggleTextShadow();
      break;
    case 0:
      ExportAnimatedGif();
      break;
    case 11:
      RunCommand(5);
      break;
    case 9:
      RunCommand(6);
      break;
    default:
      break;
  }
}

void frmMain::ToggleStar() {
  Settings.ToggleStar();
}
void frmMain::ToggleText() {
  Settings.ToggleText();
}
void frmMain::ToggleShapeShadow() {
  Settings.ToggleShapeShadow();
}
void frmMain::ToggleTextShadow() {
  Settings.ToggleTextShadow();
}

void frmMain::SwitchChanged(Switch which, bool on) {
  auto show = [&](QAction* item, int button) {
    item->setChecked(on);
    if (button >= 0) cmdAdd.at(button)->SetBorder(on);
  };
  switch (which) {
    case Switch::Star:
      show(Menus.mnuStar, 1);
      Menus.mnuPolygon->setChecked(!on);
      break;
    case Switch::ShowText:
      show(Menus.mnuText, 3);
      break;
    case Switch::ViewShapeShadow:
      show(Menus.mnuShapeShadow, 2);
      break;
    case Switch::ViewTextShadow:
      show(Menus.mnuTextShadow, 4);
      break;
    case Switch::ViewLine:
      show(Menus.mnuLine, -1);
      break;
    case Switch::ViewLineShadow:
      show(Menus.mnuLineShadow, -1);
      break;
    case Switch::TextFront:
      show(Menus.mnuTextFront, -1);
      break;
    case Switch::Transparent:
      show(Menus.mnuTransparent, -1);
      break;
  }
}

// ---- the live preview ----

void frmMain::timAnim_Timer() {
  if (Settings.CurrentShape.empty()) return;
  for (int frame = 0; frame < FramesPerTick; ++frame)
    Renderer.DrawFrame(picAnim->Surface, Settings);
  if (Settings.Transparent) ShowChecksBehind(picAnim->Surface);
  picAnim->update();
}

void frmMain::picAnim_MouseDown(int button) {
  if (button == LeftButton && Settings.SliderVal(Delay) > 10)
    dialogs_.ShowMessage(this,
                         QStringLiteral("Please set the delay below 10 while moving shapes."));
}

void frmMain::picAnim_MouseMove(int button, QPointF position) {
  const double width = picAnim->Surface.Width(), height = picAnim->Surface.Height();
  const double x = std::clamp(position.x(), 0.0, width);
  const double y = std::clamp(position.y(), 0.0, height);
  if (button == LeftButton) {
    Settings.PosX = x / width;
    Settings.PosY = y / height;
  } else if (button == RightButton) {
    Settings.TextX = x / width;
    Settings.TextY = y / height;
  }
}

void frmMain::picPlate_MouseUp(int button, QPointF position) {
  if (button == RightButton) Menus.mnuView->popup(picPlate->mapToGlobal(position.toPoint()));
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
  picAnim->move((picPlate->width() - pixels) / 2, picAnim->y());
  QCoreApplication::processEvents();
}

void frmMain::PreviewHeightChanged(int pixels) {
  picAnim->SetPictureSize(picAnim->width(), pixels);
  picAnim->move(picAnim->x(), (picPlate->height() - pixels) / 2);
  QCoreApplication::processEvents();
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
