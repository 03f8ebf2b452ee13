<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Fatal Error</name>
    <message>
        <source>Error(s) in command line</source>
        <translation>Erreur(s) dans la ligne de commande</translation>
    </message>
    <message>
        <source>Syntax errors in standard definition file %1</source>
        <comment>%1 : the definition file</comment>
        <translation>Erreurs de syntaxe dans le fichier de définition standard %1</translation>
    </message>
    <message>
        <source>Syntax errors in source file, instrumentation cancelled</source>
        <translation>Erreurs de syntaxe dans le fichier source, instrumentation annulée</translation>
    </message>
    <message>
        <source>Semantic errors in source file %1</source>
        <comment>%1 : source file</comment>
        <translation>Erreurs sémantiques dans le fichier source %1</translation>
    </message>
    <message>
        <source>path is forbidden for parameter &lt;def&gt; %1</source>
        <comment>%1 is the parameter</comment>
        <translation>un chemin est interdit pour le paramètre &lt;def&gt; %1</translation>
    </message>
    <message>
        <source>No Code Coverage nor Runtime Tracing, Memory or Performance Profiling specified</source>
        <translation>Ni couverture de code, ni traçage d'exécution, ni profilage mémoire ou de performance n'est spécifié</translation>
    </message>
    <message>
        <source>Cannot open -EXCALL file %1</source>
        <comment>%1 is the file name</comment>
        <translation>Impossible d'ouvrir le fichier -EXCALL %1</translation>
    </message>
</context>
<context>
    <name>User Warning</name>
    <message>
        <source>If Trace option is not selected, -BEFORE_RETURN_EXPR will be ignored</source>
        <translation>Si l'option Trace n'est pas sélectionnée, -BEFORE_RETURN_EXPR sera ignorée</translation>
    </message>
    <message>
        <source>Command-line:
 -scrubralt option is deprecated; please use -mempro option instead</source>
        <translation>Ligne de commande :
 l'option -scrubralt est obsolète ; veuillez utiliser l'option -mempro</translation>
    </message>
    <message>
        <source>Command-line:
 -tallarolt option is deprecated; please use -perfpro option instead</source>
        <translation>Ligne de commande :
 l'option -tallarolt est obsolète ; veuillez utiliser l'option -perfpro</translation>
    </message>
    <message>
        <source>Command-line:
  -service option is deprecated; please use -unit option instead</source>
        <translation>Ligne de commande :
  l'option -service est obsolète ; veuillez utiliser l'option -unit</translation>
    </message>
    <message>
        <source>Command-line:
  -exservice option is deprecated; please use -exunit option instead</source>
        <translation>Ligne de commande :
  l'option -exservice est obsolète ; veuillez utiliser l'option -exunit</translation>
    </message>
    <message>
        <source>A directory appears twice in -NOINSPECTDIR list : %1</source>
        <comment>%1 : the directory</comment>
        <translation>Un répertoire apparaît deux fois dans la liste -NOINSPECTDIR : %1</translation>
    </message>
    <message>
        <source>A directory appears twice in -NOINSTRDIR list : %1</source>
        <comment>%1 : the directory</comment>
        <translation>Un répertoire apparaît deux fois dans la liste -NOINSTRDIR : %1</translation>
    </message>
    <message>
        <source>If block coverage is not selected, -NOTERNARY will be ignored</source>
        <translation>Si la couverture des blocs n'est pas sélectionnée, -NOTERNARY sera ignorée</translation>
    </message>
    <message>
        <source>If block coverage is not selected, -CALLMAYTERMINATE will be ignored</source>
        <translation>Si la couverture des blocs n'est pas sélectionnée, -CALLMAYTERMINATE sera ignorée</translation>
    </message>
    <message>
        <source>If logical block coverage is not selected, -WHILEONLY will be ignored</source>
        <translation>Si la couverture des blocs logiques n'est pas sélectionnée, -WHILEONLY sera ignorée</translation>
    </message>
    <message>
        <source>If call coverage is not selected, -EXCALL will be ignored</source>
        <translation>Si la couverture des appels n'est pas sélectionnée, -EXCALL sera ignorée</translation>
    </message>
    <message>
        <source>A file appears twice in -FILE list : %1</source>
        <comment>%1 : the file</comment>
        <translation>Un fichier apparaît deux fois dans la liste -FILE : %1</translation>
    </message>
    <message>
        <source>A file appears twice in -EXFILE list : %1</source>
        <comment>%1 : the file</comment>
        <translation>Un fichier apparaît deux fois dans la liste -EXFILE : %1</translation>
    </message>
    <message>
        <source>A unit appears twice in -UNIT list : %1</source>
        <comment>%1 : the unit</comment>
        <translation>Une unité apparaît deux fois dans la liste -UNIT : %1</translation>
    </message>
    <message>
        <source>A unit appears twice in -EXUNIT list : %1</source>
        <comment>%1 : the unit</comment>
        <translation>Une unité apparaît deux fois dans la liste -EXUNIT : %1</translation>
    </message>
    <message>
        <source>A name appears twice in -SET list : %1</source>
        <comment>%1 : the name</comment>
        <translation>Un nom apparaît deux fois dans la liste -SET : %1</translation>
    </message>
    <message>
        <source>%1 methods found in excall file</source>
        <comment>%1 : the number</comment>
        <translation>%1 méthodes trouvées dans le fichier excall</translation>
    </message>
</context>
<context>
    <name>User Error</name>
    <message>
        <source>Code Coverage is not selected, use of -%1 option is forbidden</source>
        <translation>La couverture de code n'est pas sélectionnée, l'option -%1 est interdite</translation>
    </message>
    <message>
        <source>No Code Coverage nor Runtime Tracing, Memory Profiling or Performance Profiling are selected, use of -%1 option is forbidden</source>
        <translation>Ni couverture de code, ni traçage d'exécution, ni profilage mémoire ou de performance ne sont sélectionnés, l'option -%1 est interdite</translation>
    </message>
</context>
<context>
    <name>Assertion</name>
    <message>
        <source>No source name while creating FDC file</source>
        <translation>Aucun nom de source lors de la création du fichier FDC</translation>
    </message>
    <message>
        <source>No source directory while creating FDC file</source>
        <translation>Aucun répertoire source lors de la création du fichier FDC</translation>
    </message>
    <message>
        <source>Please remove all temporary files remaining for %1</source>
        <comment>%1 is the fdc file name</comment>
        <translation>Veuillez supprimer tous les fichiers temporaires restant pour %1</translation>
    </message>
    <message>
        <source>Cannot create temporary FDC file %1 %2</source>
        <comment>%1 is the file name, %2 a system-dependent error message</comment>
        <translation>Impossible de créer le fichier FDC temporaire %1 %2</translation>
    </message>
    <message>
        <source>Cannot create FDC file %1: %2</source>
        <comment>%1 is the file name, %2 a system-dependent error message</comment>
        <translation>Impossible de créer le fichier FDC %1 : %2</translation>
    </message>
    <message>
        <source>Cannot reopen FDC file %1 %2</source>
        <comment>%1 is the fdc file name, %2 a system-dependent error message</comment>
        <translation>Impossible de rouvrir le fichier FDC %1 %2</translation>
    </message>
    <message>
        <source>Unable to write into FDC file</source>
        <translation>Impossible d'écrire dans le fichier FDC</translation>
    </message>
    <message>
        <source>Cannot write FDC file %1: %2</source>
        <comment>%1 is the file name, %2 a system-dependent error message</comment>
        <translation>Impossible d'écrire le fichier FDC %1 : %2</translation>
    </message>
    <message>
        <source>Cannot open FDC file %1 %2</source>
        <comment>%1 is the file name, %2 a system-dependent error message</comment>
        <translation>Impossible d'ouvrir le fichier FDC %1 %2</translation>
    </message>
    <message>
        <source>%1 is not a valid FDC file</source>
        <comment>%1 is the file name</comment>
        <translation>%1 n'est pas un fichier FDC valide</translation>
    </message>
    <message>
        <source>%1 expected but not found in %2</source>
        <comment>%1 is the expected input, %2 the fdc file name</comment>
        <translation>%1 attendu mais non trouvé dans %2</translation>
    </message>
    <message>
        <source>Unknown coverage type in FDC file %1</source>
        <comment>%1 is the file name</comment>
        <translation>Type de couverture inconnu dans le fichier FDC %1</translation>
    </message>
    <message>
        <source>%1 has no selected coverage type</source>
        <comment>%1 is the file name</comment>
        <translation>%1 n'a aucun type de couverture sélectionné</translation>
    </message>
    <message>
        <source>Cannot open temporary FDC file %1 %2</source>
        <comment>%1 is the file name, %2 a system-dependent error message</comment>
        <translation>Impossible d'ouvrir le fichier FDC temporaire %1 %2</translation>
    </message>
    <message>
        <source>Cannot fseek() in %1 %2</source>
        <comment>%1 is the file name, %2 a system-dependent error message</comment>
        <translation>Impossible d'exécuter fseek() dans %1 %2</translation>
    </message>
</context>
<context>
    <name>User Info</name>
    <message>
        <source>No branches of requested coverage types can be found in file %1; no FDC generated</source>
        <comment>%1 : the source file</comment>
        <translation>Aucune branche des types de couverture demandés n'a été trouvée dans le fichier %1 ; aucun FDC généré</translation>
    </message>
</context>
</TS>
