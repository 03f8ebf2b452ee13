<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Display Message</name>
    <message>
        <source>%1 %2 - ERROR: %3
</source>
        <comment>Used for user errors messages
%1: product name
%2: executable name
%3: message to display</comment>
        <translation>%1 %2 - ERREUR : %3
</translation>
    </message>
    <message>
        <source>%1 %2 - WARNING: %3
</source>
        <comment>Used for warning messages
%1: product name
%2: executable name
%3: message</comment>
        <translation>%1 %2 - AVERTISSEMENT : %3
</translation>
    </message>
    <message>
        <source>%1 %2 - INFO: %3
</source>
        <comment>Used for information messages%1:product name
%2: executable name
%3: message to print</comment>
        <translation>%1 %2 - INFO : %3
</translation>
    </message>
    <message>
        <source>%1 %2 - FATAL ERROR: %3
</source>
        <comment>Used for fatal error message
%1: product name
%2: executable name
%3: message to display</comment>
        <translation>%1 %2 - ERREUR FATALE : %3
</translation>
    </message>
    <message>
        <source>%1 %2 - INTERNAL ERROR: %3
</source>
        <comment>Used for internal error message
%1: product name
%2: executable name
%3: message to display</comment>
        <translation>%1 %2 - ERREUR INTERNE : %3
</translation>
    </message>
    <message>
        <source>%1 %2: Cannot recover from earlier errors ...
</source>
        <comment>Used to display Panic Error messages
%1: product name
%2: executable name</comment>
        <translation>%1 %2 : impossible de continuer après les erreurs précédentes ...
</translation>
    </message>
</context>
<context>
    <name>Assertion</name>
    <message>
        <source>Environment variable not defined: %1</source>
        <comment>%1 is the variable name</comment>
        <translation>Variable d'environnement non définie : %1</translation>
    </message>
    <message>
        <source>Cannot eval file key</source>
        <translation>Impossible de calculer la clé du fichier</translation>
    </message>
    <message>
        <source>Source file name empty while changing extension</source>
        <translation>Nom de fichier source vide lors du changement d'extension</translation>
    </message>
    <message>
        <source>Extension empty while changing it to a file</source>
        <translation>Extension vide lors de son ajout à un fichier</translation>
    </message>
    <message>
        <source>Extension not beginning with period while changing it to a file</source>
        <translation>Extension ne commençant pas par un point lors de son ajout à un fichier</translation>
    </message>
    <message>
        <source>%1 cannot be removed:
&#x9;%2</source>
        <comment>%1 is the file name, %2 a system-dependent error message</comment>
        <translation>%1 ne peut pas être supprimé :
&#x9;%2</translation>
    </message>
    <message>
        <source>Cannot rename %1 to %2:
&#x9;%3</source>
        <comment>%1 is the old file name, %2 the new file name and %3 a system-dependent error message</comment>
        <translation>Impossible de renommer %1 en %2 :
&#x9;%3</translation>
    </message>
    <message>
        <source>Cannot stat current working directory:</source>
        <comment>Followed by a system-dependent message</comment>
        <translation>Impossible de lire le répertoire de travail courant :</translation>
    </message>
</context>
<context>
    <name>Fatal Error</name>
    <message>
        <source>No memory left</source>
        <comment>program failed on memory allocation</comment>
        <translation>Mémoire épuisée</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <comment>%1 is the file name, %2 a system-dependent error message</comment>
        <translation>Impossible de lire %1 : %2</translation>
    </message>
</context>
<context>
    <name>Internal Error</name>
    <message>
        <source>Please, contact your support</source>
        <translation>Veuillez contacter votre support</translation>
    </message>
</context>
<context>
    <name>User Warning</name>
    <message>
        <source>Cannot append to Moxtel Log File: %1 %2</source>
        <comment>%1: is the log file name
%2 a system error message</comment>
        <translation>Impossible d'écrire à la fin du journal Moxtel : %1 %2</translation>
    </message>
</context>
</TS>
