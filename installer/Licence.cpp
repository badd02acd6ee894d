#include "installer/Licence.h"

namespace installer {

const std::array<const char*, 33> LicenceLines = {
    "Morvidan © Sorbiane",
    "CONTRAT DE LICENCE",
    "",
    "Lisez attentivement ce contrat avant d'installer le logiciel Morvidan.",
    "",
    "1. Utilisation",
    "Sorbiane vous concède le droit non exclusif d'utiliser Morvidan sur un seul",
    "ordinateur à la fois, pour les besoins de votre entreprise ou de votre foyer.",
    "Vous ne pouvez ni louer, ni prêter, ni vendre le logiciel à un tiers.",
    "",
    "2. Copie et redistribution",
    "Vous pouvez faire une copie du logiciel pour votre sauvegarde. Toute autre copie,",
    "ainsi que la redistribution du programme d'installation, même gratuite, demande",
    "l'accord écrit et préalable de Sorbiane. Il est interdit de modifier, de",
    "décompiler ou de désassembler le logiciel.",
    "",
    "3. Absence de garantie",
    "Le logiciel est fourni « en l'état », sans garantie d'aucune sorte, expresse ou",
    "implicite, notamment quant à son aptitude à un usage particulier. Il vous",
    "appartient de vérifier vos factures et de sauvegarder régulièrement vos données.",
    "",
    "4. Limitation de responsabilité",
    "En aucun cas Sorbiane ne pourra être tenue pour responsable des dommages directs",
    "ou indirects, tels que la perte de données, de chiffre d'affaires ou de clientèle,",
    "résultant de l'utilisation du logiciel ou de l'impossibilité de l'utiliser.",
    "",
    "5. Acceptation",
    "L'installation de Morvidan vaut acceptation sans réserve des termes de ce contrat.",
    "",
    "Morvidan est la propriété exclusive de Sorbiane. Tous droits réservés.",
    "Sorbiane, 12 rue des Tanneurs, 35000 Rennes, France.",
    "Téléphone : 02 99 00 00 00. Courrier électronique : contact@sorbiane.example",
    "Morvidan et Sorbiane sont des marques déposées de Sorbiane.",
};

std::string LicenceText() {
  std::string text;
  for (std::size_t i = 0; i < LicenceLines.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += LicenceLines[i];
  }
  return text;
}

}  // namespace installer
