#include "AppTestSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <fstream>

#include "files/FileAccess.h"
#include "design/ShapeRecord.h"

namespace flinder {

std::optional<ColourValue> ScriptedDialogs::PickColour(QWidget*, ColourValue current) {
  ColourDialogOpenedOn.push_back(current);
  if (ColourAnswers.empty()) return std::nullopt;
  std::optional<ColourValue> answer = ColourAnswers.front();
  ColourAnswers.pop_front();
  return answer;
}

void ScriptedDialogs::ShowMessage(QWidget* parent, const QString& text) {
  Messages << text;
  LastMessageParent = parent;
  if (WhileMessageShows) WhileMessageShows();
}

std::optional<SaveFileChoice> ScriptedDialogs::AskSaveFileName(
    QWidget*, const QString& title, const std::vector<SaveFileType>& types, int selected,
    const QString& suggested) {
  QStringList labels;
  for (const SaveFileType& type : types) labels << type.Label;
  SaveDialogsOpenedOn << title + " | " + labels.join(";;") + " | " + labels[selected] + " | " +
                             suggested;
  if (SaveAnswers.empty()) return std::nullopt;
  const QString answer = SaveAnswers.front();
  SaveAnswers.pop_front();
  if (answer.isEmpty()) return std::nullopt;
  return SaveFileChoice{answer, SaveTypeAnswer < 0 ? selected : SaveTypeAnswer};
}

std::optional<CaptionFont> ScriptedDialogs::ChooseFont(QWidget*, const CaptionFont&) {
  if (FontAnswers.empty()) return std::nullopt;
  std::optional<CaptionFont> answer = FontAnswers.front();
  FontAnswers.pop_front();
  return answer;
}

StartedWindow::StartedWindow(const std::string& designFile, bool start) {
  if (!designFile.empty()) std::ofstream(IniFile(), std::ios::binary) << designFile;
  Window = std::make_unique<frmMain>(Dialogs);
  if (start) Start();
}

void StartedWindow::Start() {
  Window->show();
  Window->InitApplication(IniFile(), scratch_.File("manual.html"));
}

std::string StartedWindow::FileText() const {
  return ReadFileBytes(IniFile()).value_or("<none>");
}

std::string DesignFileOf(const std::vector<std::string>& names, float position,
                         const std::function<void(ShapeSettings&)>& adjust) {
  ShapeSettings settings;
  for (int i = 0; i < ParameterCount; ++i)
    settings.SetSlider(static_cast<std::int16_t>(i), position);
  for (int slot = 0; slot < ColourSlotCount; ++slot) {
    settings.SelectSlot(slot);
    for (int c = RedSlider; c <= BlueSlider; ++c)
      settings.SetSlider(static_cast<std::int16_t>(c), position);
  }
  settings.SelectSlot(Inner);
  if (adjust) adjust(settings);
  IniDocument file;
  for (const std::string& name : names) WriteShape(file, settings, name);
  return file.Bytes();
}

bool ExportEnds(frmMain& window) {
  return QTest::qWaitFor([&] { return !window.Busy(); }, 60000);
}

namespace {

void Send(QWidget* widget, QEvent::Type type, Qt::MouseButton button, QPoint at,
          Qt::MouseButtons held) {
  QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

}  // namespace

void Press(QWidget* widget, Qt::MouseButton button, QPoint at, Qt::MouseButtons held) {
  Send(widget, QEvent::MouseButtonPress, button, at, held);
}

void Move(QWidget* widget, QPoint to, Qt::MouseButtons held) {
  Send(widget, QEvent::MouseMove, Qt::NoButton, to, held);
}

void Release(QWidget* widget, Qt::MouseButton button, QPoint at, Qt::MouseButtons held) {
  Send(widget, QEvent::MouseButtonRelease, button, at, held);
}

void Click(QWidget* widget, Qt::MouseButton button, QPoint releaseAt) {
  Press(widget, button, {5, 5}, button);
  Release(widget, button, releaseAt, Qt::NoButton);
}

void Type(QWidget* widget, const QString& text) {
  for (QChar character : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(character));
    QApplication::sendEvent(widget, &release);
  }
}

}  // namespace flinder
