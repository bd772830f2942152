// The main window's action table.
#include "app/ActionTable.h"

#include <array>

namespace qm {

std::span<const TActionSpec> MainActions() {
  static const std::array<TActionSpec, 19> actions{{
      {"NewScript", "Новый...", "Создать новый скрипт", "Ctrl+N"},
      {"OpenScript", "Открыть...", "Открыть сохраненный скрипт", "Ctrl+O"},
      {"SaveScript", "Сохранить как...", "Сохранить скрипт в текстовый файл", "Ctrl+S"},
      {"CheckScript", "Проверить скрипт", "Найти ошибки в скрипте и перечислить их", nullptr},
      {"NextProblem", "Следующая ошибка", "Перейти к следующей ошибке или предупреждению", "F8"},
      {"PrevProblem", "Предыдущая ошибка", "Перейти к предыдущей ошибке или предупреждению", "Shift+F8"},
      {"Exit", "Выход...", "Завершить работу", "Alt+F4"},
      {"undo1", "Отменить", "Отмена", "Ctrl+Z"},
      {"redo1", "Вернуть", "Вернуть", "Ctrl+Shift+Z"},
      {"SelAll", "Выбрать всё", "Выделить весь текст", "Ctrl+A"},
      {"copy1", "Копировать", "Копировать выделенный текст", "Ctrl+C"},
      {"cut1", "Вырезать", "Вырезать выделенный текст", "Ctrl+X"},
      {"paste1", "Вставить", "Вставить текст из буфера", "Ctrl+V"},
      {"Find", "Найти...", "Найти текст", "Ctrl+F"},
      {"FindNext", "FindNext", nullptr, "F3"},
      {"Replace", "Заменить...", "Найти и заменить текст", "Ctrl+H"},
      {"Goto1", "Перейти к...", "Перейти к строке", "Ctrl+G"},
      {"Wiev1", "Вид...", nullptr, "F6"},
      {"About", "О программе...", "О программе", "F1"},
  }};
  return actions;
}

}  // namespace qm
