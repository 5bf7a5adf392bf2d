// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/StringTable.h"

namespace i18n {

namespace {

// Keys 1 to 31 of each language, as the language file gets them (typos included: they are the
// game's own texts).
constexpr std::array<std::array<const char*, KeyCount>, LanguageCount> kTable = {{
    // English
    {{
        "&Game",
        "&Pley New Game",
        "&Level 2 - time 15 min.",
        "&Level 3 - time 10 min.",
        "&Exit    Esc",
        "&Parameters",
        "&Parameters Game",
        "&Help",
        "&About",
        "Courses:",
        "Round:",
        "You have won - we CONGRATULATE!",
        "Time has left - you HAVE LOST!",
        "&Parameters by default",
        " Panel Color ",
        " Language ",
        "Velmar",
        "Parameters",
        "You really want to abandon the game",
        " Buttons ",
        "&Level 4 - time 5 min.",
        "&Status bar",
        "Is expended of time",
        "&Music",
        "Play Melody 1",
        "Play Melody 2",
        "Play Melody 3",
        "&Stop Melody",
        "&Minimize",
        "&Help on the game",
        "&Volime",
    }},
    // Russian
    {{
        "&Игра",
        "&Начать новую игру",
        "&Уровень 2 - время 15 мин.",
        "&Уровень 3 - время 10 мин.",
        "&Выход   Esc",
        "&Параметры",
        "&Параметры игры",
        "&Справка",
        "&Об игре",
        "Ходов:",
        "Раунд:",
        "Вы выиграли - ПОЗДРАВЛЯЕМ !",
        "Время вышло - Вы ПРОИГРАЛИ !",
        "&Настройки по умолчанию",
        " Цвет панели ",
        " Язык ",
        "Velmar",
        "Параметры",
        "Вы действительно хотите покинуть игру",
        " Кнопки ",
        "&Уровень 4 - время 5 мин.",
        "&Cтрока состояния",
        "Затрачено времени",
        "&Музыка",
        "Проиграть мелодию 1",
        "Проиграть мелодию 2",
        "Проиграть мелодию 3",
        "&Остановить",
        "&Свернуть",
        "&Справка по игре",
        "&Громкость звука",
    }},
    // Ukrainian
    {{
        "&Гра",
        "&Розпочати нову гру",
        "&Рівень 2 - час 15 хв.",
        "&Рівень 3 - час 10 хв.",
        "&Вихід   Esc",
        "&Параметри",
        "&Параметри гри",
        "&Довідка",
        "&Про гру",
        "Ходів:",
        "Раунд:",
        "Ви перемогли - ВІТАЄМО !",
        "Час гри закінчився - Ви ПРОГРАЛИ !",
        "&Настройки по замовчуванню",
        " Колір панелі ",
        " Мова ",
        "Velmar",
        "Параметри",
        "Ви дійстно хочети покинути гру",
        " Кнопки ",
        "&Рівень 4 - час 5 хв.",
        "&Cтрока стану",
        "Затрачений час",
        "&Музика",
        "Проіграти мелодію 1",
        "Проіграти мелодію 2",
        "Проіграти мелодію 3",
        "&Зупинити",
        "&Звернути",
        "&Довідка по грі",
        "&Гучність звука",
    }},
    // French
    {{
        "&Le jeu",
        "&Commencer un nouveau jeu",
        "&Niveau 2 - temps 15 min.",
        "&Niveau 3 - temps 10 min.",
        "&La sortie   Esc",
        "&Paramètres",
        "&Paramètres jeu",
        "&Linformation",
        "&Sur le jeu",
        "Des..:",
        "Round:",
        "Vous avez gagné - EST FÉLICITÉ!",
        "Le temps est sorti - vous ONT PERDU!",
        "&Du réglage selon la silence",
        " Couleur du panneau ",
        " langue ",
        "Velmar",
        "Paramètres",
        "Vous voulez quitter en effet le jeu",
        " Boutons ",
        "&Niveau 4 - temps 5 min.",
        "&La ligne de létat",
        "Est dépensé du temps",
        "&Musique",
        "Perdre la mélodie 1",
        "Perdre la mélodie 2",
        "Perdre la mélodie 3",
        "&Arrêter",
        "&Rouler",
        "&Linformation sur le jeu",
        "&Volume du son",
    }},
}};

// ISO 639 codes of the languages, in the table's order.
constexpr std::array<const char*, LanguageCount> kCodes = {"en", "ru", "uk", "fr"};

// Keys after 31, ascending; each in English, Russian, Ukrainian and French. A counted text has
// three forms (one, few, many: see PluralForm); English and French use the many form for few.
constexpr std::array<AddedText, 35> kAdded = {{
    {32, {"&Hint", "&Подсказка", "&Підказка", "&Indice"}},
    {33, {"%d move to go", "%d ход до победы", "%d хід до перемоги", "Encore %d coup"}},
    {34, {"%d moves to go", "%d хода до победы", "%d ходи до перемоги", "Encore %d coups"}},
    {35, {"%d moves to go", "%d ходов до победы", "%d ходів до перемоги", "Encore %d coups"}},
    {36,
     {"These tiles cannot be brought into order.", "Эту позицию невозможно собрать.",
      "Цю позицію неможливо скласти.", "Cette position ne peut pas être résolue."}},
    {37, {"Tile %d", "Фишка %d", "Фішка %d", "Pièce %d"}},
    // The records; "%1" and "%2" are filled by the game, never used as format strings.
    {40, {"&Records", "&Рекорды", "Ре&корди", "&Tableau des records"}},
    {41, {"Records", "Рекорды", "Рекорди", "Records"}},
    {42, {"Level", "Уровень", "Рівень", "Niveau"}},
    {43, {"Best time", "Лучшее время", "Найкращий час", "Meilleur temps"}},
    {44, {"Fewest moves", "Меньше ходов", "Найменше ходів", "Moins de coups"}},
    {45, {"Won / played", "Побед / игр", "Перемог / ігор", "Gagnées / jouées"}},
    {46, {"&Close", "&Закрыть", "&Закрити", "&Fermer"}},
    {47, {"No time limit", "Без ограничения", "Без обмеження", "Sans limite"}},
    {48, {"Level 2 - 15 min.", "Уровень 2 - 15 мин.", "Рівень 2 - 15 хв.", "Niveau 2 - 15 min."}},
    {49, {"Level 3 - 10 min.", "Уровень 3 - 10 мин.", "Рівень 3 - 10 хв.", "Niveau 3 - 10 min."}},
    {50, {"Level 4 - 5 min.", "Уровень 4 - 5 мин.", "Рівень 4 - 5 хв.", "Niveau 4 - 5 min."}},
    {51, {"New record!", "Новый рекорд!", "Новий рекорд!", "Nouveau record !"}},
    {52, {"No record yet", "Рекорда ещё нет", "Рекорду ще немає", "Pas encore de record"}},
    {53,
     {"%1 moves, won on %2", "%1 ходов, победа %2", "%1 ходів, перемога %2",
      "%1 coups, gagnée le %2"}},
    {54, {"in %1, won on %2", "за %1, победа %2", "за %1, перемога %2", "en %1, gagnée le %2"}},
    {55,
     {"The records file could not be read. It is kept as %1, and a fresh table of records begins.",
      "Файл рекордов не удалось прочитать. Он сохранён как %1, таблица рекордов начата заново.",
      "Файл рекордів не вдалося прочитати. Його збережено як %1, таблицю рекордів розпочато "
      "заново.",
      "Le fichier des records est illisible. Il est gardé sous le nom %1, et un nouveau tableau "
      "des records commence."}},
    {56,
     {"The records file %1 could not be read, nor could it be set aside. This run's records are "
      "kept until the game ends.",
      "Файл рекордов %1 не удалось ни прочитать, ни отложить. Рекорды этой игры хранятся до её "
      "конца.",
      "Файл рекордів %1 не вдалося ні прочитати, ні відкласти. Рекорди цієї гри зберігаються до її "
      "кінця.",
      "Le fichier des records %1 est illisible et n'a pas pu être mis de côté. Les records de "
      "cette partie sont gardés jusqu'à la fin du jeu."}},
    {57,
     {"The records could not be saved in %1. The game goes on, and this run's records are kept "
      "until it ends.",
      "Рекорды не удалось сохранить в %1. Игра продолжается, рекорды хранятся до её конца.",
      "Рекорди не вдалося зберегти в %1. Гра триває, рекорди зберігаються до її кінця.",
      "Les records n'ont pas pu être enregistrés dans %1. Le jeu continue, et les records sont "
      "gardés jusqu'à sa fin."}},
    // What a screen reader hears of the board and the volume window.
    {60, {"Board", "Игровое поле", "Ігрове поле", "Plateau"}},
    {61,
     {"Empty cell: row %1, column %2", "Пустая клетка: строка %1, столбец %2",
      "Порожня клітинка: рядок %1, стовпець %2", "Case vide : ligne %1, colonne %2"}},
    {62, {"No tiles dealt", "Фишки не расставлены", "Фішки не розставлено", "Aucune pièce posée"}},
    {63,
     {"Row %1, column %2", "Строка %1, столбец %2", "Рядок %1, стовпець %2",
      "Ligne %1, colonne %2"}},
    {64, {"Music volume", "Громкость музыки", "Гучність музики", "Volume de la musique"}},
    // How the desktop's sound settings list the game's output.
    {65, {"Music and sounds", "Музыка и звуки", "Музика і звуки", "Musique et sons"}},
    // The window's title while the first hint's tables are built: "Velmar - ...".
    {66,
     {"working out a hint...", "подсказка готовится...", "підказка готується...",
      "recherche d'un indice..."}},
    // What a screen reader says at once of the game; "%1" takes a level, a tile ("Tile 7") or a
    // count, the other numbers a row, a column and the move count.
    {80,
     {"New game: %1. Empty cell: row %2, column %3.",
      "Новая игра: %1. Пустая клетка: строка %2, столбец %3.",
      "Нова гра: %1. Порожня клітинка: рядок %2, стовпець %3.",
      "Nouvelle partie : %1. Case vide : ligne %2, colonne %3."}},
    {81,
     {"%1: row %2, column %3. Moves: %4.", "%1: строка %2, столбец %3. Ходов: %4.",
      "%1: рядок %2, стовпець %3. Ходів: %4.", "%1 : ligne %2, colonne %3. Coups : %4."}},
    {82,
     {"%1 cannot move. Moves: %2.", "%1 не может сдвинуться. Ходов: %2.",
      "%1 не може рухатися. Ходів: %2.", "%1 ne peut pas bouger. Coups : %2."}},
    {83,
     {"Hint: %1, row %2, column %3, %4.", "Подсказка: %1, строка %2, столбец %3, %4.",
      "Підказка: %1, рядок %2, стовпець %3, %4.", "Indice : %1, ligne %2, colonne %3, %4."}},
}};

const Language* languageOfSection(const std::string& section) {
    for (const Language& language : Languages)
        if (section == language.Section)
            return &language;
    return nullptr;
}

} // namespace

std::span<const AddedText> AddedTexts() {
    return kAdded;
}

std::vector<int> TableKeys() {
    std::vector<int> keys;
    keys.reserve(KeyCount + kAdded.size());
    for (int key = 1; key <= KeyCount; ++key)
        keys.push_back(key);
    for (const AddedText& added : kAdded)
        keys.push_back(added.Key);
    return keys;
}

const char* StringTableText(int language, int key) {
    if (language < 0 || language >= LanguageCount)
        return "";
    const auto index = static_cast<std::size_t>(language);
    if (key >= 1 && key <= KeyCount)
        return kTable[index][static_cast<std::size_t>(key - 1)];
    for (const AddedText& added : kAdded)
        if (added.Key == key)
            return added.Texts[index];
    return "";
}

CodePage EncodingOfSection(const std::string& section) {
    const Language* language = languageOfSection(section);
    return language ? language->Encoding : CodePage::Windows1252;
}

PluralRule PluralRuleOfSection(const std::string& section) {
    const Language* language = languageOfSection(section);
    return language ? language->Plurals : PluralRule::OneOther;
}

const char* LanguageCodeOfSection(const std::string& section) {
    const Language* language = languageOfSection(section);
    return kCodes[language ? static_cast<std::size_t>(language - Languages.data()) : 0];
}

} // namespace i18n
