#include "AppTestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <fstream>

#include "design/ShapeRecord.h"

namespace flinder {
namespace {

// The next scripted answer; none left cancels.
template <typename Answer>
std::optional<Answer> Next(std::deque<std::optional<Answer>>& answers) {
  if (answers.empty()) return std::nullopt;
  std::optional<Answer> answer;
  answer.swap(answers.front());
  answers.pop_front();
  return answer;
}

void Send(QWidget* widget, QEvent::Type type, Qt::MouseButton button, QPoint at,
          Qt::MouseButtons held) {
  QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

}  // namespace

std::optional<ColourValue> ScriptedDialogs::PickColour(QWidget*, ColourValue current) {
  ColourDialogOpenedOn.push_back(current);
  return Next(ColourAnswers);
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
  const std::optional<QString> answer = Next(SaveAnswers);
  if (!answer) return std::nullopt;
  return SaveFileChoice{*answer, SaveTypeAnswer < 0 ? selected : SaveTypeAnswer};
}

std::optional<CaptionFont> ScriptedDialogs::ChooseFont(QWidget*, const CaptionFont&) {
  return Next(FontAnswers);
}

std::optional<QString> ScriptedDialogs::AskFolder(QWidget*, const QString&, const QString&) {
  return Next(FolderAnswers);
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

ShapeSettings DesignOf(float position, const std::function<void(ShapeSettings&)>& adjust) {
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
  return settings;
}

std::string StartedWindow::AnswerSave(const std::string& name) {
  Dialogs.SaveAnswers.push_back(QString::fromStdString(scratch_.File(name)));
  return scratch_.File(name);
}

std::string DesignFileOf(const std::vector<std::string>& names, float position,
                         const std::function<void(ShapeSettings&)>& adjust) {
  IniDocument file;
  for (const std::string& name : names) WriteShape(file, DesignOf(position, adjust), name);
  return file.Bytes();
}

QStringList ListedNames(frmMain& window) {
  QStringList names;
  for (int i = 0; i < window.cmbAnim->count(); ++i) names << window.cmbAnim->itemText(i);
  return names;
}

bool ExportEnds(frmMain& window) {
  return QTest::qWaitFor([&] { return !window.Busy(); }, 60000);
}

void Press(QWidget* widget, Qt::MouseButton button, QPoint at, Qt::MouseButtons held) {
  Send(widget, QEvent::MouseButtonPress, button, at, held);
}

void Move(QWidget* widget, QPoint to, Qt::MouseButtons held) {
  Send(widget, QEvent::MouseMove, Qt::NoButton, to, held);
}

void Release(QWidget* widget, Qt::MouseButton button, QPoint at, Qt::MouseButtons held) {
  Send(widget, QEvent::MouseButtonRelease, button, at, held);
}

void Drag(QWidget* widget, Qt::MouseButton button, std::initializer_list<QPoint> path) {
  Press(widget, button, *path.begin(), button);
  for (const QPoint* to = path.begin() + 1; to != path.end(); ++to) Move(widget, *to, button);
  Release(widget, button, *(path.end() - 1), Qt::NoButton);
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
