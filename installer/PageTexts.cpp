#include "installer/PageTexts.h"

namespace installer {

// The accented letters are written as escapes so that every build, whatever its execution
// character set, holds the same CP1252 bytes: \xA9 is the copyright sign, \xE9 an e acute.
#define INSTALL_PRODUCT "Morvidan \xA9 Sorbiane"
#define INSTALL_TWELVE_P "<P><P><P><P><P><P><P><P><P><P><P><P>"

const char* const PageTextWelcome =
    "<H1><P>Bienvenue dans l'installation de <FONT Color = #FF0000>" INSTALL_PRODUCT
    "</FONT>.</H1>" INSTALL_TWELVE_P "Ce programme va installer <Font color=#FF0000><B>"
    INSTALL_PRODUCT "</FONT> dans votre ordinateur personnel.<P>Cliquez sur [<B>Annuler</B>] "
    "pour si vous ne voulez pas l'installer.<P>Cliquez sur [<B>Suivant</B>] pour continuer "
    "l'installation.<BLOCKQUOTE><P></BLOCKQUOTE><P>";

const char* const PageTextLicence =
    "<H1><P>Contrat de Licence de <FONT Color = #FF0000>" INSTALL_PRODUCT
    "</FONT>.</H1><P><P><P><P><P><P><P><P><P>";

const char* const PageTextFolder =
    "<H1><P>R\xE9pertoire d'installation de <FONT Color = #FF0000>" INSTALL_PRODUCT
    "</FONT>.</H1>";

const char* const PageTextInstalling =
    "<H1><P>Ex\xE9" "cution de l'installation de <FONT Color = #FF0000>" INSTALL_PRODUCT
    "</FONT>...</H1>" INSTALL_TWELVE_P "Veuillez patienter...<P>L'installation de "
    "<Font color=#FF0000><B>" INSTALL_PRODUCT "</FONT> est en cours.<P>";

const char* const PageTextFinished =
    "<H1><P>L'installation de <FONT Color = #FF0000>" INSTALL_PRODUCT
    "</FONT> est termin\xE9" "e.</H1>";

#undef INSTALL_TWELVE_P
#undef INSTALL_PRODUCT

const std::array<const char*, 5> PageTexts{PageTextWelcome, PageTextLicence, PageTextFolder,
                                           PageTextInstalling, PageTextFinished};

}  // namespace installer
