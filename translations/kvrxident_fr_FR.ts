<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>KVRXIdent</name>
    <message>
        <source>Nivrak</source>
        <translation>Nivrak</translation>
    </message>
    <message>
        <source>Nivrak Runtime Analysis</source>
        <translation>Nivrak Analyse d'exécution</translation>
    </message>
</context>
<context>
    <name>Version</name>
    <message>
        <source>%1 %2 %3 %4 %5
</source>
        <comment>%1 is a prefix, %2 a product name, %3 a module name</comment>
        <translation>%1 %2 %3 %4 %5
</translation>
    </message>
    <message>
        <source>%1 Build Number: %2 %3
</source>
        <comment>%1 is a prefix, %2 a build number, %3 a suffix</comment>
        <translation>%1 Numéro de construction : %2 %3
</translation>
    </message>
    <message>
        <source>%1 Copyright %2 Quorb. All rights reserved. %3
</source>
        <comment>%1 is a prefix, %2 the year of build, %3 a suffix</comment>
        <translation>%1 Copyright %2 Quorb. Tous droits réservés. %3
</translation>
    </message>
    <message>
        <source>%1   Date : %2 %3 %4
</source>
        <comment>%1 is a prefix, %2 a date, %3 a time, %4 a suffix</comment>
        <translation>%1   Date : %2 %3 %4
</translation>
    </message>
    <message>
        <source>%1    OS : %2 %3
</source>
        <comment>%1 is a string prefix, %2 the operating system name, %3 a string suffix</comment>
        <translation>%1    SE : %2 %3
</translation>
    </message>
</context>
</TS>
