// Builds pseudo-random construction-set scripts (Windows-1251, CR LF) for benchmarks.
#include "bench/ScriptGenerator.h"

#include <charconv>

#include <string_view>
#include <vector>
#include "bench/SplitMix.h"

namespace qm::bench {
namespace {

using View = std::string_view;

// ---- Vocabulary (ASCII) ---------------------------------------------------

constexpr View kHeaderWords[] = {"scn", "Scn", "SCN", "ScriptName", "scriptname", "Scriptname", "SCRIPTNAME"};
constexpr View kNamePrefixes[] = {"", "", "MQ04", "MQ11", "SQ12", "FGC", "Dark", "Old", "Misty", "Ruin", "Ash"};
constexpr View kNameNouns[] = {"Tower", "Chest",  "Door",    "Guard", "Ring",  "Bridge", "Lever", "Shrine", "Ghost",
                               "Well",  "Bandit", "Lantern", "Altar", "Crypt", "Mill",   "Ferry", "Amulet", "Gate"};
constexpr View kNameSuffixes[] = {"Script", "Script", "SCRIPT", "Scr", "QuestScript", "Trigger", "Effect", "Spell"};

constexpr View kShortNames[] = {"doOnce",       "stage", "button", "state",  "isOpen", "triggered", "init",
                                "playerInside", "bDone", "iStep",  "wasHit", "alarm",  "choice",    "iMode"};
constexpr View kLongNames[] = {"counter", "goldTotal", "hitCount", "killCount", "lastDay", "iTotal", "reward"};
constexpr View kFloatNames[] = {"timer", "fTimer", "delay",  "distance", "fHealth",
                                "fTime", "angle",  "fSpeed", "fade",     "fScale"};
constexpr View kRefNames[] = {"targetRef", "rActor", "rContainer", "doorRef", "rTarget", "lastHit", "rItem", "rMarker"};
constexpr View kGlobals[] = {"GameHour", "GameDaysPassed", "TimeScale"};

constexpr View kItems[] = {"Gold001",      "Lockpick",       "Torch02", "SilverRing01", "IronSword", "PotionHeal03",
                           "KeyTowerDoor", "ScrollFireBall", "Arrow01", "AmberGem",     "BreadLoaf", "ClothHood"};
constexpr View kQuests[] = {"MQ01",       "MQ07",         "SQ12Bandits", "TowerMystery",
                            "FGC03Fetch", "AshRuinQuest", "MillFire",    "FerrymanDebt"};
constexpr View kActorValues[] = {"Health", "Fatigue", "Magicka", "Strength",   "Speed",
                                 "Blade",  "Sneak",   "Alchemy", "Aggression", "Confidence"};
constexpr View kSounds[] = {"DoorStoneOpen", "AmbWindHowl", "UIQuestUpdate",
                            "SpellFireCast", "BellToll01",  "ChainRattle"};
constexpr View kSpells[] = {"FireBolt01", "CalmAura", "ShieldLesser", "FrostTouch", "LightSpell", "SilenceCurse"};
constexpr View kCreatures[] = {"WolfGray", "SkeletonGuard", "RatGiant", "GhostPale", "BanditArcher"};
constexpr View kMarkers[] = {"TowerEntryMarker", "CaveExitMarker", "MillYardMarker", "CryptGateMarker"};
constexpr View kTopics[] = {"RumorsTower", "GuildJoin", "FerryPrice", "MillFireTopic"};
constexpr View kEditorRefs[] = {"TowerDoorREF", "AshChestREF", "MillGuardREF", "CryptLeverREF"};
constexpr View kOperators[] = {"==", "!=", "<", ">", "<=", ">="};
constexpr View kNumericFuncs[] = {"GetSecondsPassed", "GetRandomPercent", "GetCurrentTime",
                                  "GetButtonPressed", "GameDaysPassed",   "GetPCFame"};
constexpr View kRefFuncs[] = {"GetSelf", "GetActionRef", "player.GetCombatTarget", "GetContainer", "GetParentRef"};
constexpr View kPlainObjectCalls[] = {"Enable",          "Disable",     "StopCombat", "Unlock",
                                      "EvaluatePackage", "ResetHealth", "Resurrect",  "Kill"};
constexpr View kPlainGlobalCalls[] = {"DisablePlayerControls", "EnablePlayerControls", "StopCombatAlarm", "RefreshMap"};
constexpr View kEnglishComments[] = {
    "TODO: remove debug output", "fix me later", "wait one frame", "reset state", "player only", "old code below"};

// Block types; `arg` is 'a' for an optional actor, 'm' for an optional menu code.
struct BlockType {
  View name;
  char arg;
};
constexpr BlockType kBlockTypes[] = {
    {"MenuMode", 'm'},
    {"OnActivate", 0},
    {"OnAdd", 'a'},
    {"OnDrop", 'a'},
    {"OnEquip", 'a'},
    {"OnUnequip", 'a'},
    {"OnDeath", 'a'},
    {"OnHit", 'a'},
    {"OnLoad", 0},
    {"OnReset", 0},
    {"OnTrigger", 'a'},
    {"OnTriggerActor", 'a'},
    {"OnSell", 'a'},
    {"OnPackageDone", 0},
    {"ScriptEffectStart", 0},
    {"ScriptEffectUpdate", 0},
    {"ScriptEffectFinish", 0},
    {"OnMagicEffectHit", 0},
};

// ---- Vocabulary (Cyrillic, kept in UTF-8 and converted once) -------------

constexpr View kPhrasesUtf8[] = {
    "Привет, путник!",
    "Возьми это золото.",
    "Дверь заперта.",
    "Ты слышишь шаги за спиной.",
    "Журнал обновлён.",
    "У тебя недостаточно золота.",
    "Стража идёт сюда!",
    "Сундук пуст.",
    "Мельница снова работает.",
    "Рычаг не поддаётся.",
    "Из склепа тянет холодом.",
    "Паромщик ждёт плату.",
    "Ты нашёл старую карту.",
    "Факел погас.",
    "Кто-то оставил здесь записку.",
    "Призрак исчезает в тумане.",
    "Мост обрушился!",
    "Кольцо слегка светится.",
    "Ворота открываются со скрипом.",
    "Ты чувствуешь слабость.",
    "Алтарь принимает дар.",
    "Тебя заметили!",
    "Время вышло.",
    "Ёж убегает в кусты.",
    "Задание выполнено — получена награда.",
    "«Не входи», — гласит надпись.",
    "Колокол звонит трижды…",
};
constexpr View kQuestionsUtf8[] = {
    "Открыть сундук?",    "Заплатить паромщику?", "Что будешь делать?",
    "Прочитать записку?", "Потянуть рычаг?",      "Отдать кольцо призраку?",
};
constexpr View kButtonsUtf8[] = {"Да", "Нет", "Может быть", "Уйти", "Заплатить", "Драться", "Позже"};
constexpr View kFormatsUtf8[] = {
    "Золота собрано: %.0f",       "Осталось %.0f сек.",      "Убито врагов: %.0f",
    "Стадия: %.0f, таймер: %.2f", "Расстояние до цели %.1f",
};
constexpr View kCommentsUtf8[] = {
    "комментарий: ждём игрока",
    "проверяем стадию квеста",
    "таймер сработал",
    "выдаём награду",
    "запускаем сцену",
    "только один раз",
    "игрок рядом?",
    "сбрасываем счётчик",
    "ждём, пока закроется меню",
    "включаем стражу",
    "№ кнопки в меню",
    "здесь была ошибка, не трогать",
    "Ёлки, опять этот мост",
    "отсчёт до взрыва",
    "прячем сундук до полуночи",
    "начало",
    "конец блока",
};

// Maps one Unicode code point to a Windows-1251 byte ('?' if it has none).
char ToCp1251(uint32_t cp) {
  if (cp < 0x80) return static_cast<char>(cp);
  if (cp >= 0x410 && cp <= 0x44F) return static_cast<char>(0xC0 + (cp - 0x410));
  switch (cp) {
    case 0x401: return static_cast<char>(0xA8);   // Ё
    case 0x451: return static_cast<char>(0xB8);   // ё
    case 0xAB: return static_cast<char>(0xAB);    // «
    case 0xBB: return static_cast<char>(0xBB);    // »
    case 0x2014: return static_cast<char>(0x97);  // em dash
    case 0x2026: return static_cast<char>(0x85);  // ellipsis
    case 0x2116: return static_cast<char>(0xB9);  // numero sign
    default: return '?';
  }
}

}  // namespace

std::string Utf8ToCp1251(std::string_view text) {
  std::string result;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : 3;
    uint32_t cp = length == 1 ? lead : length == 2 ? (lead & 0x1Fu) : (lead & 0x0Fu);
    for (size_t k = 1; k < length && i + k < text.size(); ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
    result += ToCp1251(cp);
    i += length;
  }
  return result;
}

namespace {

template <size_t N>
std::vector<std::string> Convert(const View (&items)[N]) {
  std::vector<std::string> result;
  for (View item : items) result.push_back(Utf8ToCp1251(item));
  return result;
}

// The Cyrillic vocabulary as Windows-1251 byte strings.
struct CyrillicWords {
  std::vector<std::string> phrases = Convert(kPhrasesUtf8);
  std::vector<std::string> questions = Convert(kQuestionsUtf8);
  std::vector<std::string> buttons = Convert(kButtonsUtf8);
  std::vector<std::string> formats = Convert(kFormatsUtf8);
  std::vector<std::string> comments = Convert(kCommentsUtf8);
};

const CyrillicWords& Cyrillic() {
  static const CyrillicWords words;
  return words;
}

// Keywords in three letter-case styles: lower, Capitalized, UPPER.
enum Keyword {
  kBegin,
  kEnd,
  kIf,
  kElseIf,
  kElse,
  kEndIf,
  kSet,
  kTo,
  kReturn,
  kShort,
  kLong,
  kFloat,
  kRef,
  kInt,
  kKeywordCount
};
constexpr View kKeywords[3][kKeywordCount] = {
    {"begin", "end", "if", "elseif", "else", "endif", "set", "to", "return", "short", "long", "float", "ref", "int"},
    {"Begin", "End", "If", "ElseIf", "Else", "EndIf", "Set", "to", "Return", "Short", "Long", "Float", "Ref", "Int"},
    {"BEGIN", "END", "IF", "ELSEIF", "ELSE", "ENDIF", "SET", "TO", "RETURN", "SHORT", "LONG", "FLOAT", "REF", "INT"},
};

// ---- Generator ------------------------------------------------------------

class Generator {
 public:
  Generator(size_t lines, uint32_t seed) : left_(lines), random_(seed), words_(Cyrillic()) {}

  std::string Run() {
    out_.reserve(left_ * 36 + 64);
    while (left_ > 0) Script();
    return std::move(out_);
  }

 private:
  uint64_t Next() { return random_.Next(); }
  uint32_t Below(size_t n) { return random_.Below(n); }
  bool Chance(uint32_t percent) { return random_.Chance(percent); }
  template <size_t N>
  View Pick(const View (&items)[N]) {
    return items[Below(N)];
  }
  View Pick(const std::vector<std::string>& items) { return items[Below(items.size())]; }
  View Pick(const std::vector<View>& items) { return items[Below(items.size())]; }

  // Output primitives; every line is opened, filled and closed exactly once.
  void Open(int depth) { out_.append(static_cast<size_t>(depth) * 2, ' '); }
  void Close() {
    out_ += "\r\n";
    --left_;
  }
  void Put(View text) { out_ += text; }
  void Put(Keyword keyword) { out_ += kKeywords[style_][keyword]; }
  void PutInt(long long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out_.append(buffer, result.ptr);
  }
  void PutDecimal() {
    PutInt(Chance(70) ? Below(10) : Below(1000));
    out_ += '.';
    if (Chance(60)) {
      PutInt(Below(10));
    } else {
      const uint32_t hundredths = Below(100);
      if (hundredths < 10) out_ += '0';
      PutInt(hundredths);
    }
  }

  // Variables of the current script, with fallbacks when none are declared.
  View NumberVar() {
    if (Chance(3)) return Pick(kGlobals);
    if (!numbers_.empty()) return Pick(numbers_);
    return floats_.empty() ? Pick(kGlobals) : Pick(floats_);
  }
  View FloatVar() { return floats_.empty() ? NumberVar() : Pick(floats_); }
  View RefName() {
    if (!refs_.empty() && Chance(50)) return Pick(refs_);
    return Chance(60) ? View("player") : Pick(kEditorRefs);
  }

  void Script();
  void Filler();
  void Header();
  void Declarations();
  void Block();
  void Body(int depth, size_t reserve);
  void IfChain(int depth, size_t reserve);
  void Statement(int depth);
  void Comment();
  void TrailingComment();
  void Set();
  void NumberExpression(View target);
  void Call();
  void ObjectCall();
  void GlobalCall();
  void Message(bool isLong);
  void Condition(int clauses);
  void Clause();

  size_t left_;
  TSplitMix random_;
  const CyrillicWords& words_;
  std::string out_;
  int style_ = 0;
  std::vector<View> numbers_, floats_, refs_;
};

// One script followed by blank lines; tiny remainders become comments and blanks.
void Generator::Script() {
  if (left_ < 4) return Filler();
  const uint32_t styleRoll = Below(100);
  style_ = styleRoll < 65 ? 0 : styleRoll < 93 ? 1 : 2;
  numbers_.clear();
  floats_.clear();
  refs_.clear();

  Header();
  if (left_ >= 5 && Chance(30)) {
    Comment();
  }
  Declarations();
  const uint32_t blockRoll = Below(100);
  const int blocks = blockRoll < 50 ? 1 : blockRoll < 80 ? 2 : blockRoll < 93 ? 3 : 4;
  for (int b = 0; b < blocks && left_ >= 3; ++b) {
    if (b > 0 && left_ >= 4 && Chance(60)) Close();
    Block();
  }
  if (left_ > 0 && Chance(85)) Close();
  if (left_ > 0 && Chance(10)) Close();
}

void Generator::Filler() {
  while (left_ > 0) {
    if (Chance(60)) {
      Comment();
    } else {
      Close();
    }
  }
}

void Generator::Header() {
  const uint32_t roll = Below(100);
  Put(roll < 50 ? kHeaderWords[0] : roll < 75 ? kHeaderWords[3] : Pick(kHeaderWords));
  Put(" ");
  Put(Pick(kNamePrefixes));
  Put(Pick(kNameNouns));
  if (Chance(25)) PutInt(Below(20));
  Put(Pick(kNameSuffixes));
  Close();
}

// Declares up to six distinct variables, always leaving room for one block.
void Generator::Declarations() {
  const uint32_t count = 1 + Below(6);
  for (uint32_t i = 0; i < count && left_ >= 4; ++i) {
    const uint32_t roll = Below(100);
    const Keyword type = roll < 40 ? kShort : roll < 55 ? kLong : roll < 60 ? kInt : roll < 82 ? kFloat : kRef;
    std::vector<View>& list = type == kFloat ? floats_ : type == kRef ? refs_ : numbers_;
    const View name = type == kShort || type == kInt ? Pick(kShortNames)
                      : type == kLong                ? Pick(kLongNames)
                      : type == kFloat               ? Pick(kFloatNames)
                                                     : Pick(kRefNames);
    bool taken = false;
    for (View existing : list) taken = taken || existing == name;
    if (taken) continue;
    list.push_back(name);
    Put(type);
    Put(" ");
    Put(name);
    if (Chance(12)) TrailingComment();
    Close();
  }
  if (left_ >= 4 && Chance(50)) Close();
}

void Generator::Block() {
  const BlockType type = Chance(40) ? BlockType{"GameMode", 0} : kBlockTypes[Below(std::size(kBlockTypes))];
  Put(kBegin);
  Put(" ");
  Put(type.name);
  if (type.arg == 'm' && Chance(50)) {
    Put(" ");
    PutInt(1000 + Below(40));
  } else if (type.arg == 'a' && Chance(40)) {
    Put(" ");
    Put(RefName());
  }
  Close();
  Body(1, 1);
  Put(kEnd);
  Close();
}

// Emits statements at `depth`, leaving at least `reserve` lines for the closers
// of enclosing constructs. The caller guarantees room for at least one line.
void Generator::Body(int depth, size_t reserve) {
  const uint32_t count = 1 + Below(depth == 1 ? 7 : 4);
  for (uint32_t i = 0; i < count && left_ > reserve; ++i) {
    if (left_ - reserve >= 3 && depth < 6 && Chance(depth == 1 ? 30 : 20)) {
      IfChain(depth, reserve);
    } else {
      Statement(depth);
    }
  }
}

void Generator::IfChain(int depth, size_t reserve) {
  Open(depth);
  Put(kIf);
  Put(" ");
  Condition(Chance(85) ? 1 : Chance(75) ? 2 : 3);
  if (Chance(5)) TrailingComment();
  Close();
  Body(depth + 1, reserve + 1);
  while (left_ >= reserve + 3 && Chance(30)) {
    Open(depth);
    Put(kElseIf);
    Put(" ");
    Condition(Chance(85) ? 1 : 2);
    Close();
    Body(depth + 1, reserve + 1);
  }
  if (left_ >= reserve + 3 && Chance(35)) {
    Open(depth);
    Put(kElse);
    Close();
    Body(depth + 1, reserve + 1);
  }
  Open(depth);
  Put(kEndIf);
  Close();
}

// Emits exactly one line.
void Generator::Statement(int depth) {
  const uint32_t roll = Below(100);
  if (roll >= 94 && roll < 97) return Close();
  Open(depth);
  if (roll < 36) {
    Set();
    if (Chance(10)) TrailingComment();
  } else if (roll < 66) {
    Call();
    if (Chance(10)) TrailingComment();
  } else if (roll < 78) {
    Message(false);
  } else if (roll < 90) {
    Comment();
    return;
  } else if (roll < 94) {
    Put(kReturn);
  } else {
    Message(true);
  }
  Close();
}

// A whole comment line (the caller has indented it).
void Generator::Comment() {
  Put(Chance(85) ? View("; ") : Chance(50) ? View(";") : View(";; "));
  Put(Chance(85) ? Pick(words_.comments) : Pick(kEnglishComments));
  Close();
}

void Generator::TrailingComment() {
  Put(Chance(50) ? View(" ; ") : View("\t; "));
  Put(Chance(85) ? Pick(words_.comments) : Pick(kEnglishComments));
}

void Generator::Set() {
  const bool toRef = !refs_.empty() && Chance(15);
  const View target = toRef ? Pick(refs_) : Chance(30) ? FloatVar() : NumberVar();
  Put(kSet);
  Put(" ");
  Put(target);
  Put(" ");
  Put(kTo);
  Put(" ");
  if (!toRef) return NumberExpression(target);
  if (Chance(70)) {
    Put(Pick(kRefFuncs));
  } else {
    Put(Chance(50) ? View("player") : Pick(kEditorRefs));
  }
}

void Generator::NumberExpression(View target) {
  switch (Below(12)) {
    case 0: PutInt(Below(11)); break;
    case 1: PutInt(Below(1001)); break;
    case 2: PutDecimal(); break;
    case 3:
      Put(target);
      Put(" + 1");
      break;
    case 4:
      Put(target);
      Put(" - ");
      PutInt(1 + Below(50));
      break;
    case 5:
      Put(target);
      Put(" * ");
      PutDecimal();
      break;
    case 6:
      Put(target);
      Put(" - GetSecondsPassed");
      break;
    case 7: Put(Pick(kNumericFuncs)); break;
    case 8:
      Put(RefName());
      if (Chance(60)) {
        Put(".GetAV ");
        Put(Pick(kActorValues));
      } else {
        Put(".GetItemCount ");
        Put(Pick(kItems));
      }
      break;
    case 9:
      Put("(");
      Put(NumberVar());
      Put(" + ");
      Put(FloatVar());
      Put(") / 2");
      break;
    case 10:
      Put(NumberVar());
      Put(" * ");
      PutInt(2 + Below(9));
      Put(" + ");
      PutDecimal();
      break;
    default:
      Put("-");
      PutInt(1 + Below(100));
      break;
  }
}

void Generator::Call() {
  if (Chance(65)) {
    ObjectCall();
  } else {
    GlobalCall();
  }
}

// A command run on a reference: `player.AddItem Gold001 100` and the like.
void Generator::ObjectCall() {
  if (Chance(60)) {
    Put(RefName());
    Put(".");
  }
  switch (Below(14)) {
    case 0:
      Put("AddItem ");
      Put(Pick(kItems));
      Put(" ");
      PutInt(1 + Below(Chance(50) ? 5 : 500));
      break;
    case 1:
      Put("RemoveItem ");
      Put(Pick(kItems));
      Put(" ");
      PutInt(1 + Below(20));
      break;
    case 2:
      Put("ModAV ");
      Put(Pick(kActorValues));
      Put(" ");
      PutInt(static_cast<int>(Below(61)) - 30);
      break;
    case 3:
      Put("SetAV ");
      Put(Pick(kActorValues));
      Put(" ");
      PutInt(Below(101));
      break;
    case 4:
      Put("MoveTo ");
      Put(Chance(50) ? View("player") : Pick(kMarkers));
      if (Chance(40)) {
        Put(" 0 0 ");
        PutInt(Below(256));
      }
      break;
    case 5:
      Put("PlaceAtMe ");
      Put(Pick(kCreatures));
      Put(" ");
      PutInt(1 + Below(3));
      break;
    case 6:
      Put("CastSpell ");
      Put(Pick(kSpells));
      if (Chance(50)) {
        Put(" ");
        Put(RefName());
      }
      break;
    case 7:
      Put("StartCombat ");
      Put(RefName());
      break;
    case 8:
      Put("Activate player ");
      PutInt(Below(2));
      break;
    case 9:
      Put("Lock ");
      PutInt(Below(101));
      break;
    case 10:
      Put(Chance(50) ? View("EquipItem ") : View("UnequipItem "));
      Put(Pick(kItems));
      break;
    case 11:
      Put("SayTo player ");
      Put(Pick(kTopics));
      break;
    case 12:
      Put(Chance(50) ? View("SetAngle z ") : View("SetPos z "));
      PutDecimal();
      break;
    default: Put(Pick(kPlainObjectCalls)); break;
  }
}

void Generator::GlobalCall() {
  switch (Below(9)) {
    case 0:
      Put("StartQuest ");
      Put(Pick(kQuests));
      break;
    case 1:
      Put("StopQuest ");
      Put(Pick(kQuests));
      break;
    case 2:
      Put("SetStage ");
      Put(Pick(kQuests));
      Put(" ");
      PutInt(10 * (1 + Below(10)));
      break;
    case 3:
      Put("PlaySound ");
      Put(Pick(kSounds));
      break;
    case 4:
      Put("ShowMap ");
      Put(Pick(kMarkers));
      break;
    case 5:
      Put("AddTopic ");
      Put(Pick(kTopics));
      break;
    case 6:
      Put("ModPCFame ");
      PutInt(static_cast<int>(Below(7)) - 3);
      break;
    case 7:
      Put("AddSpell ");
      Put(Pick(kSpells));
      break;
    default: Put(Pick(kPlainGlobalCalls)); break;
  }
}

// A message with Cyrillic text; long ones run to about 120 characters.
void Generator::Message(bool isLong) {
  const uint32_t roll = Below(100);
  if (!isLong && roll < 20) {
    Put("MessageBox \"");
    Put(Pick(words_.questions));
    Put("\"");
    const size_t first = Below(words_.buttons.size());
    const uint32_t buttons = 2 + Below(3);
    for (uint32_t i = 0; i < buttons; ++i) {
      Put(" \"");
      Put(words_.buttons[(first + i) % words_.buttons.size()]);
      Put("\"");
    }
    return;
  }
  if (!isLong && roll < 40) {
    Put("Message \"");
    Put(Pick(words_.formats));
    Put("\" ");
    Put(NumberVar());
    if (Chance(30)) {
      Put(" ");
      Put(FloatVar());
    }
    return;
  }
  Put(Chance(70) ? View("MessageBox \"") : View("Message \""));
  const size_t start = out_.size();
  const size_t wanted = isLong ? 80 : 1 + Below(40);
  const size_t limit = isLong ? 105 : 60;
  for (;;) {
    const View phrase = Pick(words_.phrases);
    const size_t length = out_.size() - start;
    if (length > 0 && length + 1 + phrase.size() > limit) break;
    if (length > 0) Put(" ");
    Put(phrase);
    if (out_.size() - start >= wanted) break;
  }
  Put("\"");
}

void Generator::Condition(int clauses) {
  const bool brackets = clauses > 1 && Chance(40);
  for (int i = 0; i < clauses; ++i) {
    if (i > 0) Put(Chance(65) ? View(" && ") : View(" || "));
    if (brackets) Put("(");
    Clause();
    if (brackets) Put(")");
  }
}

void Generator::Clause() {
  switch (Below(11)) {
    case 0:
    case 1:
      Put(NumberVar());
      Put(" ");
      Put(Pick(kOperators));
      Put(" ");
      PutInt(Below(Chance(60) ? 3 : 100));
      break;
    case 2:
      Put(FloatVar());
      Put(" ");
      Put(Pick(kOperators));
      Put(" ");
      PutDecimal();
      break;
    case 3:
      Put("GetStage ");
      Put(Pick(kQuests));
      Put(" ");
      Put(Pick(kOperators));
      Put(" ");
      PutInt(10 * (1 + Below(10)));
      break;
    case 4:
      Put("player.GetItemCount ");
      Put(Pick(kItems));
      Put(Chance(50) ? View(" > ") : View(" < "));
      PutInt(Below(200));
      break;
    case 5: Put(Chance(50) ? View("GetActionRef == player") : View("IsActionRef player == 1")); break;
    case 6:
      Put("GetRandomPercent < ");
      PutInt(1 + Below(99));
      break;
    case 7:
      Put(RefName());
      Put(Chance(50) ? View(".GetDead == 1") : View(".GetDisabled == 0"));
      break;
    case 8:
      Put("player.GetDistance ");
      Put(refs_.empty() ? Pick(kEditorRefs) : Pick(refs_));
      Put(" <= ");
      PutDecimal();
      break;
    case 9:
      Put(Chance(50) ? View("GetQuestRunning ") : View("GetQuestCompleted "));
      Put(Pick(kQuests));
      Put(" == ");
      PutInt(Below(2));
      break;
    default:
      Put("GameHour >= ");
      PutInt(Below(24));
      break;
  }
}

}  // namespace

std::string GenerateScript(size_t lines, uint32_t seed) { return Generator(lines, seed).Run(); }

}  // namespace qm::bench
