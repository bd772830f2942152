// Builds a pseudo-random but reproducible keyword vocabulary file (UTF-8 XML) for benchmarks.
#include "bench/VocabGenerator.h"

#include <charconv>

#include <string_view>
#include <unordered_set>
#include <vector>
#include "bench/SplitMix.h"

namespace qm::bench {
namespace {

using View = std::string_view;

// ---- Functions ------------------------------------------------------------

// Every function the benchmark scripts call (bare or after "ref.").
constexpr View kScriptFunctions[] = {
    "Activate",
    "AddItem",
    "RemoveItem",
    "ModAV",
    "SetAV",
    "GetAV",
    "MoveTo",
    "PlaceAtMe",
    "CastSpell",
    "StartCombat",
    "Lock",
    "Unlock",
    "EquipItem",
    "UnequipItem",
    "SayTo",
    "SetAngle",
    "SetPos",
    "Enable",
    "Disable",
    "StopCombat",
    "EvaluatePackage",
    "ResetHealth",
    "Resurrect",
    "Kill",
    "StartQuest",
    "StopQuest",
    "SetStage",
    "GetStage",
    "PlaySound",
    "ShowMap",
    "AddTopic",
    "ModPCFame",
    "GetPCFame",
    "AddSpell",
    "DisablePlayerControls",
    "EnablePlayerControls",
    "StopCombatAlarm",
    "RefreshMap",
    "MessageBox",
    "Message",
    "GetSecondsPassed",
    "GetRandomPercent",
    "GetCurrentTime",
    "GetButtonPressed",
    "GetSelf",
    "GetActionRef",
    "GetCombatTarget",
    "GetContainer",
    "GetParentRef",
    "GetItemCount",
    "IsActionRef",
    "GetDead",
    "GetDisabled",
    "GetDistance",
    "GetQuestRunning",
    "GetQuestCompleted",
};

// Hand-made names of the kind a construction set offers; the first three carry an
// alias attribute the reader ignores.
constexpr View kCoreFunctions[] = {
    "GetActorValue",
    "SetActorValue",
    "ModActorValue",
    "GetBaseAV",
    "GetBaseActorValue",
    "ForceAV",
    "ForceActorValue",
    "GetIsRace",
    "GetIsSex",
    "GetIsClass",
    "GetInCell",
    "GetInWorldspace",
    "GetInSameCell",
    "IsInCombat",
    "IsSwimming",
    "IsRidingHorse",
    "IsInInterior",
    "IsSneaking",
    "IsRunning",
    "IsYielding",
    "GetLevel",
    "SetLevel",
    "GetDisposition",
    "ModDisposition",
    "GetCrimeGold",
    "SetCrimeGold",
    "ModCrimeGold",
    "SetPCFame",
    "GetPCInfamy",
    "SetPCInfamy",
    "ModPCInfamy",
    "PayFine",
    "PayFineThief",
    "GoToJail",
    "ForceWeather",
    "SetWeather",
    "GetIsCurrentWeather",
    "GetWeatherPercent",
    "PlayGroup",
    "LoopGroup",
    "PlayMagicEffectVisuals",
    "PlayMagicShaderVisuals",
    "StopMagicShaderVisuals",
    "PlayBink",
    "ShowClassMenu",
    "ShowRaceMenu",
    "ShowBirthsignMenu",
    "ShowSpellmaking",
    "ShowEnchantment",
    "SetEssential",
    "SetRestrained",
    "SetUnconscious",
    "SetGhost",
    "SetAlert",
    "SetForceRun",
    "SetForceSneak",
    "SetOwnership",
    "GetFactionRank",
    "SetFactionRank",
    "ModFactionRank",
    "GetInFaction",
    "SetScale",
    "GetScale",
    "GetPos",
    "GetAngle",
    "Rotate",
    "SetDestroyed",
    "GetDestroyed",
    "GetLocked",
    "GetLockLevel",
    "SetOpenState",
    "GetOpenState",
    "GetSleeping",
    "GetSitting",
    "GetKnockedState",
    "GetHeadingAngle",
    "GetLineOfSight",
    "GetDetected",
    "GetShouldAttack",
    "Say",
    "Look",
    "StopLook",
    "PickIdle",
    "SelectPlayerSpell",
    "Dispel",
    "DispelAllSpells",
    "RemoveSpell",
    "RemoveAllItems",
    "DropMe",
    "Drop",
    "GetEquipped",
    "GetIsID",
    "GetIsReference",
    "GetIsUsedItem",
    "GetDayOfWeek",
    "GetGameSetting",
    "SetQuestObject",
    "GetQuestVariable",
    "GetScriptVariable",
    "GetHealthPercent",
    "GetFatiguePercent",
    "GetMagickaPercent",
    "IsPlayerInJail",
    "IsActorDetected",
    "IsGuard",
    "IsEssential",
    "IsFemale",
    "IsHorseStolen",
    "IsTimePassing",
    "IsTorchOut",
    "IsCurrentFurnitureRef",
    "IsLeftUp",
    "HasMagicEffect",
    "HasSpell",
    "HasVampireFed",
    "CanHaveFlames",
    "CanPayCrimeGold",
    "GetClothingValue",
    "GetArmorRating",
    "GetAttacked",
    "GetAlarmed",
    "GetAmountSoldStolen",
    "GetGold",
    "GetTotalPersuasionNumber",
    "GetTalkedToPC",
    "GetTimeDead",
    "GetTrespassWarningLevel",
    "GetVampire",
    "GetWalkSpeed",
    "GetWeaponSkillType",
    "GetRestrained",
    "GetUnconscious",
    "GetPlayerInSEWorld",
    "GetPlayerControlsDisabled",
    "SetPlayerInSEWorld",
    "SetCellOwnership",
    "SetCellPublicFlag",
    "SetCellFullName",
    "SetClass",
    "SetNoAvoidance",
    "SetNoRumors",
    "SetRigidBodyMass",
    "SetShowQuestItems",
    "SetSize",
    "SetInCharGen",
    "SetInvestmentGold",
    "SetItemValue",
    "SetActorAlpha",
    "SetActorFullName",
    "SetActorRefraction",
    "SetActorsAI",
    "SetAllReachable",
    "SetAllVisible",
    "SetAtStart",
    "SetBarterGold",
    "SetCombatStyle",
    "SetDoorDefaultOpen",
    "SetFactionReaction",
    "SetHavokDisable",
    "SetIgnoreFriendlyHits",
    "SetPackDuration",
    "SetPublic",
    "SetQuestDelay",
    "SetSceneIsComplex",
    "SetShowMap",
    "AddFlames",
    "AddScriptPackage",
    "AddAchievement",
    "AddFormToList",
    "AutoSave",
    "CloseCurrentOblivionGate",
    "CloseOblivionGate",
    "CompleteQuest",
    "CreateFullActorCopy",
    "DeleteFullActorCopy",
    "DisableLinkedPathPoints",
    "DuplicateAllItems",
    "DuplicateNPCStats",
    "EnableFastTravel",
    "EssentialDeathReload",
    "FadeSFX",
    "ForceCloseOblivionGate",
    "ForceFlee",
    "ForceTakeCover",
    "ForceRefIntoAlias",
    "HideMarker",
    "KillActor",
    "KillAllActors",
    "LeaveRegion",
    "MarkForDelete",
    "ModAmountSoldStolen",
    "ModBarterGold",
    "ModFactionReaction",
    "ModPCAttribute",
    "ModPCSkill",
    "ModPCMiscStat",
    "MoveToMarker",
    "PlaceAtMeHealth",
    "PositionCell",
    "PositionWorld",
    "PreloadMagicEffect",
    "PurgeCellBuffers",
    "PushActorAway",
    "RefreshTopicList",
    "ReleaseWeatherOverride",
    "RemoveFlames",
    "RemoveMe",
    "RemoveScriptPackage",
    "ResetFallDamageTimer",
    "ResetInterior",
    "ScriptEffectElapsedSeconds",
    "SendTrespassAlarm",
    "SetMerchantContainer",
    "SexChange",
    "ShowAllMapMarkers",
    "StartConversation",
    "StopWaiting",
    "StreamMusic",
    "ToggleActorsAI",
    "TriggerHitShader",
    "UnlockDoor",
    "VampireFeed",
    "Wait",
    "WakeUpPC",
    "YieldActor",
};

// Parts of invented names: verb, optional qualifier, noun, optional suffix.
constexpr View kCommonVerbs[] = {"Get", "Set", "Is", "Mod", "Has", "Get", "Set"};
constexpr View kVerbs[] = {
    "Get",   "Set",     "Mod",      "Is",      "Has",     "Add",     "Remove",   "Force", "Reset",  "Start", "Stop",
    "Play",  "Show",    "Hide",     "Enable",  "Disable", "Toggle",  "Clear",    "Can",   "Was",    "Find",  "Open",
    "Close", "Drop",    "Equip",    "Refresh", "Save",    "Count",   "Copy",     "Cast",  "Dispel", "Move",  "Place",
    "Look",  "Trigger", "Scale",    "Pick",    "Push",    "Apply",   "Wake",     "Fade",  "Spawn",  "Mark",  "Send",
    "Fire",  "Call",    "Teleport", "Restore", "Damage",  "Compare", "Evaluate", "Allow", "Block",  "Purge", "Dump",
    "Print", "Sort",    "Rename",   "Swap",    "List",    "Pause",   "Resume",
};
constexpr View kQualifiers[] = {
    "PC",    "Player", "Base",  "Current", "Actor",   "Ref",    "Max",    "Total", "Last", "Equipped", "Global",
    "In",    "On",     "Open",  "Active",  "Default", "Parent", "Linked", "Quest", "NPC",  "Creature", "Inventory",
    "Spell", "Cell",   "World", "Object",  "Local",   "Hidden", "Temp",   "Next",  "Prev", "First",    "Saved",
};
constexpr View kNouns[] = {
    "Actor",       "Item",      "Spell",      "Quest",      "Stage",    "Weather",   "Cell",      "Door",
    "Lock",        "Owner",     "Faction",    "Rank",       "Crime",    "Gold",      "Fame",      "Infamy",
    "Disposition", "Package",   "AI",         "Combat",     "Target",   "Horse",     "Weapon",    "Armor",
    "Shield",      "Light",     "Sound",      "Music",      "Map",      "Marker",    "Container", "Inventory",
    "Level",       "Skill",     "Scale",      "Angle",      "Position", "Ghost",     "Essential", "Restrained",
    "Unconscious", "Sitting",   "Sleeping",   "Swimming",   "Detected", "Talking",   "Alarm",     "Bounty",
    "Ragdoll",     "Animation", "Idle",       "Menu",       "Button",   "Camera",    "Hour",      "Day",
    "Water",       "Ammo",      "Arrow",      "Ingredient", "Potion",   "Scroll",    "Soul",      "Gem",
    "Enchantment", "Charge",    "Health",     "Condition",  "Value",    "Weight",    "Name",      "Model",
    "Icon",        "Script",    "Variable",   "Token",      "Form",     "Type",      "Flag",      "Time",
    "Effect",      "Magnitude", "Duration",   "Region",     "Climate",  "Class",     "Race",      "Birthsign",
    "Book",        "Key",       "Note",       "Topic",      "Dialog",   "Voice",     "Shader",    "Texture",
    "Mesh",        "Node",      "Particle",   "Portal",     "Trap",     "Harvest",   "Clock",     "Timer",
    "Journal",     "Objective", "Reputation", "Alliance",   "Mount",    "Companion", "Follower",  "Summon",
    "Minion",      "Furniture", "Bed",        "Chair",      "Lever",    "Bridge",    "Tower",     "Gate",
    "Shrine",      "Altar",     "Ferry",      "Merchant",   "Guard",    "Thief",     "Vampire",   "Werewolf",
};
constexpr View kSuffixes[] = {
    "Count", "Ex", "Value", "Type",  "Flag", "Level", "Ref",   "Name",    "List", "State", "Data",
    "Mod",   "At", "By",    "Range", "2",    "Info",  "Index", "Percent", "Base", "Flags", "ID",
};

// ---- Other categories -------------------------------------------------------

constexpr View kCoreVars[] = {"short", "long", "float", "ref", "int"};
constexpr View kExpansionVars[] = {"byte"};
constexpr View kExtenderVars[] = {"reference", "string_var", "array_var", "double"};

constexpr View kCoreCommands[] = {
    "scn",    "ScriptName", "begin", "end",  "if",    "elseif", "else",  "endif",  "set",     "to",
    "return", "goto",       "label", "stop", "wait",  "print",  "debug", "assert", "include", "const",
    "global", "local",      "this",  "true", "false", "and",    "or",    "not",
};
constexpr View kExtenderCommands[] = {
    "let", "eval", "while", "loop", "foreach", "continue", "break", "call", "switch", "case", "default", "endswitch",
};

constexpr View kCoreBlockTypes[] = {
    "GameMode",
    "MenuMode",
    "OnActivate",
    "OnAdd",
    "OnDrop",
    "OnEquip",
    "OnUnequip",
    "OnDeath",
    "OnHit",
    "OnLoad",
    "OnReset",
    "OnTrigger",
    "OnTriggerActor",
    "OnSell",
    "OnPackageDone",
    "ScriptEffectStart",
    "ScriptEffectUpdate",
    "ScriptEffectFinish",
    "OnMagicEffectHit",
    "OnActorEquip",
    "OnActorUnequip",
    "OnAlarm",
    "OnAlarmVictim",
    "OnHitWith",
    "OnKnockout",
    "OnMurder",
    "OnPackageStart",
    "OnPackageChange",
    "OnPackageEnd",
    "OnStartCombat",
    "OnTriggerMob",
    "OnWaterEnter",
};
constexpr View kExpansionBlockTypes[] = {
    "OnFall",      "OnJump", "OnSleep", "OnWake", "OnRest",    "OnTrade",     "OnSteal",     "OnPickpocket",
    "OnLockBreak", "OnOpen", "OnClose", "OnGrab", "OnRelease", "OnCellEnter", "OnCellLeave",
};
constexpr View kExtenderBlockTypes[] = {
    "Function",  "OnWeatherChange", "OnDayStart",  "OnNightStart", "OnSpellCast", "OnSpellLearn", "OnLevelUp",
    "OnSkillUp", "OnDialogStart",   "OnDialogEnd", "OnFastTravel", "OnSave",      "OnUserEvent",
};

// Actor values (those the scripts pass first), axes, the player reference and global variables.
constexpr View kCoreParameters[] = {
    "Health",
    "Fatigue",
    "Magicka",
    "Strength",
    "Speed",
    "Blade",
    "Sneak",
    "Alchemy",
    "Aggression",
    "Confidence",
    "Intelligence",
    "Willpower",
    "Agility",
    "Endurance",
    "Personality",
    "Luck",
    "Encumbrance",
    "Armorer",
    "Athletics",
    "Block",
    "Blunt",
    "HandToHand",
    "HeavyArmor",
    "LightArmor",
    "Alteration",
    "Conjuration",
    "Destruction",
    "Illusion",
    "Mysticism",
    "Restoration",
    "Acrobatics",
    "Marksman",
    "Mercantile",
    "Security",
    "Speechcraft",
    "Responsibility",
    "Energy",
    "Archery",
    "Lockpicking",
    "Herbalism",
    "Smithing",
    "Swimming",
    "Riding",
    "Lore",
    "Barter",
    "Stealth",
    "Perception",
    "Resolve",
    "Poise",
    "Stamina",
    "Spellpower",
    "Insight",
    "x",
    "y",
    "z",
    "player",
    "GameHour",
    "GameDaysPassed",
    "TimeScale",
};
constexpr View kElements[] = {"Fire",  "Frost",     "Shock",  "Poison", "Disease",
                              "Magic", "Paralysis", "Normal", "Silver", "Holy"};
constexpr View kSlots[] = {"Head",      "Hair",     "UpperBody", "LowerBody", "Hand",       "Foot",
                           "RightRing", "LeftRing", "Amulet",    "Weapon",    "BackWeapon", "SideWeapon",
                           "Quiver",    "Shield",   "Torch",     "Tail",      "Cloak",      "Belt"};
constexpr View kCrimes[] = {"Steal", "Pickpocket", "Trespass", "Attack", "Murder", "Escape", "Vandalism", "Smuggling"};
constexpr View kWeathers[] = {"Pleasant", "Cloudy", "Rainy", "Snow", "Fog", "Ashstorm", "Blizzard", "Thunder"};
constexpr View kMenus[] = {"Inventory", "Map",        "Journal",  "Magic",       "Stats",       "Container", "Barter",
                           "Dialog",    "SleepWait",  "Loading",  "Spellmaking", "Enchantment", "Alchemy",   "Repair",
                           "Training",  "Persuasion", "Lockpick", "Book",        "Message",     "Quantity"};
constexpr View kPackages[] = {"Find",      "Follow",    "Escort", "Eat",           "Sleep",     "Wander", "Travel",
                              "Accompany", "UseItemAt", "Ambush", "FleeNotCombat", "CastMagic", "Patrol", "Guard"};
constexpr View kAnimGroups[] = {
    "Idle",      "DynamicIdle", "Forward",    "Backward",  "Left",        "Right",       "FastForward", "FastBackward",
    "TurnLeft",  "TurnRight",   "Equip",      "Unequip",   "AttackLeft",  "AttackRight", "AttackPower", "AttackBow",
    "BlockIdle", "BlockHit",    "Recoil",     "Stagger",   "Death",       "JumpStart",   "JumpLoop",    "JumpLand",
    "CastSelf",  "CastTouch",   "CastTarget", "TorchIdle", "SwimForward", "SpecialIdle"};
constexpr View kSexes[] = {"Male", "Female"};
constexpr View kLockLevels[] = {"VeryEasy", "Easy", "Average", "Hard", "VeryHard", "NeedsKey"};
constexpr View kSoulSizes[] = {"Petty", "Lesser", "Common", "Greater", "Grand", "Black"};
constexpr View kWeekdays[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};

// ---- Generator ----------------------------------------------------------------

// Number of function elements that repeat an earlier word on purpose.
constexpr size_t kDuplicates = 4;

class Generator {
 public:
  explicit Generator(uint32_t seed) : random_(seed) {}

  std::string Run(size_t functions);

 private:
  uint64_t Next() { return random_.Next(); }
  uint32_t Below(size_t n) { return random_.Below(n); }
  bool Chance(uint32_t percent) { return random_.Chance(percent); }
  template <size_t N>
  View Pick(const View (&items)[N]) {
    return items[Below(N)];
  }

  std::vector<std::string> InventFunctions(size_t count);

  void Line(int depth, View text);
  void Open(View tag, View attributes = {});
  void CloseTag(View tag);
  void Item(View tag, View word, View attributes = {});
  void Items(View tag, const std::vector<std::string>& words, size_t from, size_t to);
  template <size_t N>
  void Items(View tag, const View (&words)[N]) {
    for (View word : words) Item(tag, word);
  }
  void Composed(View tag, View prefix, const View* words, size_t count, View suffix);
  template <size_t N>
  void Composed(View tag, View prefix, const View (&words)[N], View suffix = {}) {
    Composed(tag, prefix, words, N, suffix);
  }

  TSplitMix random_;
  std::string out_;
  int depth_ = 0;
  std::unordered_set<std::string> names_;  // membership only; never iterated
};

// Returns `count` new function names, distinct from each other and from names_.
std::vector<std::string> Generator::InventFunctions(size_t count) {
  std::vector<std::string> result;
  result.reserve(count);
  std::string name;
  while (result.size() < count) {
    for (int attempt = 0;; ++attempt) {
      const View verb = Chance(40) ? Pick(kCommonVerbs) : Pick(kVerbs);
      const bool predicate = verb == "Is" || verb == "Has" || verb == "Can" || verb == "Was";
      const View qualifier = Chance(35) ? Pick(kQualifiers) : View();
      const View noun = Pick(kNouns);
      const View suffix = !predicate && Chance(30) ? Pick(kSuffixes) : View();
      if (qualifier == noun || suffix == noun || (qualifier == "In" && !predicate)) continue;
      name.assign(verb).append(qualifier).append(noun).append(suffix);
      if (!names_.contains(name)) break;
      if (attempt >= 64) {
        // The name space is nearly used up: number the last candidate.
        const size_t base = name.size();
        for (unsigned number = 2;; ++number) {
          char digits[12];
          const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
          name.resize(base);
          name.append(digits, end);
          if (!names_.contains(name)) break;
        }
        break;
      }
    }
    names_.insert(name);
    result.push_back(name);
  }
  return result;
}

void Generator::Line(int depth, View text) {
  out_.append(static_cast<size_t>(depth) * 2, ' ');
  out_ += text;
  out_ += '\n';
}

void Generator::Open(View tag, View attributes) {
  out_.append(static_cast<size_t>(depth_) * 2, ' ');
  out_ += '<';
  out_ += tag;
  if (!attributes.empty()) {
    out_ += ' ';
    out_ += attributes;
  }
  out_ += ">\n";
  ++depth_;
}

void Generator::CloseTag(View tag) {
  --depth_;
  out_.append(static_cast<size_t>(depth_) * 2, ' ');
  out_ += "</";
  out_ += tag;
  out_ += ">\n";
}

// One element holding one word; now and then the word is padded with blanks or line breaks.
void Generator::Item(View tag, View word, View attributes) {
  const size_t indent = static_cast<size_t>(depth_) * 2;
  out_.append(indent, ' ');
  out_ += '<';
  out_ += tag;
  if (!attributes.empty()) {
    out_ += ' ';
    out_ += attributes;
  }
  out_ += '>';
  uint32_t padding = Below(300);
  if (word == "MenuMode" || word == "GetDistance") padding = 0;
  if (word == "ref") padding = 1;
  if (word == "endif") padding = 2;
  switch (padding) {
    case 0:
      out_ += '\n';
      out_.append(indent + 2, ' ');
      out_ += word;
      out_ += '\n';
      out_.append(indent, ' ');
      break;
    case 1:
      out_ += "  ";
      out_ += word;
      out_ += ' ';
      break;
    case 2:
      out_ += '\t';
      out_ += word;
      out_ += "\t\n";
      out_.append(indent, ' ');
      break;
    default: out_ += word; break;
  }
  out_ += "</";
  out_ += tag;
  out_ += ">\n";
}

void Generator::Items(View tag, const std::vector<std::string>& words, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i) Item(tag, words[i]);
}

void Generator::Composed(View tag, View prefix, const View* words, size_t count, View suffix) {
  std::string word;
  for (size_t i = 0; i < count; ++i) {
    word.assign(prefix).append(words[i]).append(suffix);
    Item(tag, word);
  }
}

std::string Generator::Run(size_t functions) {
  for (View name : kScriptFunctions) names_.emplace(name);
  size_t fixed = names_.size();
  for (View name : kCoreFunctions) {
    if (names_.emplace(name).second) ++fixed;
  }
  const size_t extra = functions > fixed ? functions - fixed : 0;
  const size_t duplicates = extra < kDuplicates ? extra : kDuplicates;
  const std::vector<std::string> invented = InventFunctions(extra - duplicates);
  const size_t firstCut = invented.size() / 2;
  const size_t secondCut = firstCut + invented.size() * 3 / 10;

  out_.reserve(64 * 1024 + functions * 40);
  out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out_ += "<!-- Script vocabulary: functions, variable types, commands, block types, parameters. -->\n";
  Open("scriptitems", "version=\"3\" language=\"en\"");
  Line(depth_, "<about generator=\"quillmark-bench\">Benchmark vocabulary; generated, not edited by hand.</about>");

  // Core game.
  Open("extension", "name=\"Core\" version=\"1.2.416\"");
  Line(depth_, "<description>Functions and keywords of the base game.</description>");
  std::unordered_set<View> seen;  // membership only; never iterated
  for (View name : kScriptFunctions) {
    seen.insert(name);
    Item("function", name);
  }
  for (View name : kCoreFunctions) {
    if (!seen.insert(name).second) continue;
    if (name == "GetActorValue") {
      Item("function", name, "alias=\"GetAV\"");
    } else if (name == "SetActorValue") {
      Item("function", name, "alias=\"SetAV\" args=\"2\"");
    } else if (name == "ModActorValue") {
      Item("function", name, "alias=\"ModAV\"");
    } else {
      Item("function", name);
    }
  }
  Items("function", invented, 0, firstCut);
  Line(depth_, "<!-- variable types -->");
  Items("var", kCoreVars);
  Items("command", kCoreCommands);
  Items("blocktype", kCoreBlockTypes);
  Items("parameters", kCoreParameters);
  Composed("parameters", "Resist", kElements);
  Composed("parameters", "Weakness", kElements);
  Composed("parameters", "", kSexes);
  Composed("parameters", "", kWeekdays);
  CloseTag("extension");

  // Retired words: outside any extension, so a reader skips them.
  Open("deprecated", "reason=\"renamed\"");
  Item("function", "GetActorValueOld");
  Item("function", "SetQuestStageOld");
  CloseTag("deprecated");

  // Expansion.
  Open("extension", "name=\"Expansion\" requires=\"Core\"");
  Line(depth_, "<description>Additions of the expansion.</description>");
  Items("function", invented, firstCut, secondCut);
  // Words repeated on purpose.
  if (duplicates > 0) Item("function", "PlaySound");
  if (duplicates > 1) Item("function", "Lock");
  Items("var", kExpansionVars);
  Items("blocktype", kExpansionBlockTypes);
  Composed("parameters", "", kSlots, "Slot");
  Composed("parameters", "Crime", kCrimes);
  Composed("parameters", "", kWeathers);
  Composed("parameters", "Lock", kLockLevels);
  Composed("parameters", "Soul", kSoulSizes);
  CloseTag("extension");

  // Script extender plug-in.
  Open("extension", "name=\"ScriptExtender\" version=\"0.19\" requires=\"Core\"");
  Line(depth_, "<description>Functions added by the script extender.</description>");
  Items("function", invented, secondCut, invented.size());
  // Words repeated on purpose.
  if (duplicates > 2) Item("function", "GetAV");
  if (duplicates > 3) Item("function", invented.empty() ? View("Kill") : View(invented.front()));
  Items("var", kExtenderVars);
  Items("command", kExtenderCommands);
  Items("blocktype", kExtenderBlockTypes);
  Composed("parameters", "", kMenus, "Menu");
  Composed("parameters", "Package", kPackages);
  Composed("parameters", "", kAnimGroups);
  CloseTag("extension");

  CloseTag("scriptitems");
  return std::move(out_);
}

}  // namespace

std::string GenerateVocabulary(size_t functions, uint32_t seed) { return Generator(seed).Run(functions); }

}  // namespace qm::bench
