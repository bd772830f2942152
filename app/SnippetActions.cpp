// The snippet command table of the main window.
#include "app/SnippetActions.h"

#include <array>

namespace qm {

namespace {

using enum TSnippetStyle;
using enum TSnippetCaret;

// A comparison or logical operator, typed at the caret.
constexpr TSnippetSpec Operator(const char* name, const char* caption, const char* text) {
  return {name, caption, nullptr, Inline, text, nullptr, Stay, Stay};
}

// A line of an if block: its caret goes between the parentheses, or after
// them when the line replaced a selection.
constexpr TSnippetSpec Condition(const char* name, const char* caption, const char* hint, const char* text,
                                 const char* selectedText) {
  return {name, caption, hint, Line, text, selectedText, FirstBeforeLast, FirstEnd};
}

// A variable declaration: the type keyword on a new line, the caret after it
// for the name.
constexpr TSnippetSpec Variable(const char* name, const char* caption, const char* text) {
  return {name, caption, nullptr, Line, text, text, FirstEnd, LeftLineEnd};
}

// A menu-mode number, typed at the caret.
constexpr TSnippetSpec Menu(const char* name, const char* caption, const char* number) {
  return {name, caption, nullptr, Inline, number, nullptr, Stay, Stay};
}

}  // namespace

std::span<const TSnippetSpec> SnippetActions() {
  static constexpr std::array<TSnippetSpec, 71> actions{{
      Operator("Operator01", "== (Равенство)", "== "),
      Operator("Operator02", "!= (Неравенство)", "!= "),
      Operator("Operator03", "> (Больше чем)", "> "),
      Operator("Operator04", ">= (Больше или равно)", ">= "),
      Operator("Operator05", "< (Меньше чем )", "< "),
      Operator("Operator06", "<= (Меньше или равно)", "<= "),
      Operator("Operator07", "&&&& (логическое И)", "&& "),
      Operator("Operator08", "|| (логическое ИЛИ)", "|| "),
      // The button of the block shows only its picture, never the caption.
      {"ActionBeginEnd", "ActionIfEnd", "begin...end", BeginEnd, "begin \r\rend", nullptr, Stay, Stay},
      Condition("ActionIfEnd", "ActionIfEnd", "if...endif", "  if ()\r\r  endif", "if ()\r\rendif"),
      Condition("ActionIf", "if (если)", nullptr, "  if ()", "if ()"),
      Condition("ActionElseIf", "elseif (иначе если)", nullptr, "elseif ()", "elseif ()"),
      {"ActionElse", "else (иначе)", nullptr, Line, "else", "else", Stay, LeftLineEnd},
      {"ActionEnd", "endif (конец if)", nullptr, Line, "endif", "endif", Stay, Stay},
      Variable("VarShort", "short (короткая  целочисленная)", "short "),
      Variable("VarLong", "long (длинная целочисленная)", "long "),
      Variable("VarFloat", "float (с плавающей точкой)", "float "),
      // The caption's second word starts with a Latin c before the Cyrillic one.
      Variable("VarRef", "ref (c\xD1\x81ылка на объект)", "ref "),
      Menu("MM1", "1 (хар-ки, магия, инвентарь, журнал)", "1"),
      Menu("MM2", "2 (окна сообщений)", "2"),
      Menu("MM3", "3 (консоль)", "3"),
      Menu("MM1001", "Сообщение = 1001", "1001"),
      Menu("MM1002", "Инвентарь = 1002", "1002"),
      Menu("MM1003", "Хар-ки = 1003", "1003"),
      Menu("MM1004", "Главный HUD = 1004", "1004"),
      Menu("MM1005", "Информационный HUD = 1005", "1005"),
      Menu("MM1006", "Крест (HUDReticle) = 1006", "1006"),
      Menu("MM1007", "Заставка во время загрузки = 1007", "1007"),
      Menu("MM1008", "Контейнер = 1008", "1008"),
      Menu("MM1009", "Диалог = 1009", "1009"),
      Menu("MM1010", "Субтитры (HUDSubtitle) = 1010", "1010"),
      Menu("MM1011", "Общий (Generic) = 1011", "1011"),
      Menu("MM1012", "Спать/Ждать = 1012", "1012"),
      Menu("MM1013", "Пауза = 1013", "1013"),
      Menu("MM1014", "Взлом = 1014", "1014"),
      Menu("MM1015", "Опции = 1015", "1015"),
      Menu("MM1016", "Количество = 1016", "1016"),
      Menu("MM1017", "Аудио = 1017", "1017"),
      Menu("MM1018", "Видео = 1018", "1018"),
      Menu("MM1019", "Видеодисплей (VideoDisplay) = 1019", "1019"),
      Menu("MM1020", "Геймплей (Gameplay) = 1020", "1020"),
      Menu("MM1021", "Управление (Controls) = 1021", "1021"),
      Menu("MM1022", "Магия = 1022", "1022"),
      Menu("MM1023", "Карта = 1023", "1023"),
      Menu("MM1024", "Магическое всплывающее окно = 1024", "1024"),
      Menu("MM1025", "Торговля = 1025", "1025"),
      Menu("MM1026", "Книга = 1026", "1026"),
      Menu("MM1027", "Уровень = 1027", "1027"),
      Menu("MM1028", "Тренировка = 1028", "1028"),
      Menu("MM1029", "Знак = 1029", "1029"),
      Menu("MM1030", "Класс = 1030", "1030"),
      Menu("MM1031", "Атрибуты = 1031", "1031"),
      Menu("MM1032", "Умения = 1032", "1032"),
      Menu("MM1033", "Специализация = 1033", "1033"),
      Menu("MM1034", "Убеждение = 1034", "1034"),
      Menu("MM1035", "Починка = 1035", "1035"),
      Menu("MM1036", "Раса/Пол = 1036", "1036"),
      Menu("MM1037", "Покупка заклинаний = 1037", "1037"),
      Menu("MM1038", "Загрузка = 1038", "1038"),
      Menu("MM1039", "Сохранение = 1039", "1039"),
      Menu("MM1040", "Алхимия = 1040", "1040"),
      Menu("MM1041", "Создание заклинаний = 1041", "1041"),
      Menu("MM1042", "Зачарование = 1042", "1042"),
      Menu("MM1043", "Установка эффектов = 1043", "1043"),
      Menu("MM1044", "Главное = 1044", "1044"),
      Menu("MM1045", "Воздух = 1045", "1045"),
      Menu("MM1046", "Быстрые клавиши = 1046", "1046"),
      Menu("MM1047", "Разработчики = 1047", "1047"),
      Menu("MM1048", "Камень Сигил = 1048", "1048"),
      Menu("MM1049", "Перезарядка = 1049", "1049"),
      Menu("MM1051", "Редактирование текста = 1051", "1051"),
  }};
  return actions;
}

const TSnippetSpec* FindSnippet(std::string_view name) {
  for (const TSnippetSpec& snippet : SnippetActions())
    if (name == snippet.Name) return &snippet;
  return nullptr;
}

}  // namespace qm
