<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>CAB</name>
    <message>
        <source>Arg value too small,</source>
        <translation>Valeur d'argument trop petite,</translation>
    </message>
    <message>
        <source>Arg value too large,</source>
        <translation>Valeur d'argument trop grande,</translation>
    </message>
    <message>
        <source>Arg length too small,</source>
        <translation>Longueur d'argument trop petite,</translation>
    </message>
    <message>
        <source>Arg length too large,</source>
        <translation>Longueur d'argument trop grande,</translation>
    </message>
    <message>
        <source>Too many arguments invalid argument,</source>
        <translation>Trop d'arguments, argument invalide,</translation>
    </message>
    <message>
        <source>List forbidden invalid argument,</source>
        <translation>Liste interdite, argument invalide,</translation>
    </message>
    <message>
        <source>Unknown option,</source>
        <translation>Option inconnue,</translation>
    </message>
    <message>
        <source>Invalid character following option,</source>
        <translation>Caractère invalide après l'option,</translation>
    </message>
    <message>
        <source>An option can't be used twice,</source>
        <translation>Une option ne peut pas être utilisée deux fois,</translation>
    </message>
    <message>
        <source>Mandatory argument for this option,</source>
        <translation>Argument obligatoire pour cette option,</translation>
    </message>
    <message>
        <source>No argument for this option,</source>
        <translation>Pas d'argument pour cette option,</translation>
    </message>
    <message>
        <source>List forbidden invalid option,</source>
        <translation>Liste interdite, option invalide,</translation>
    </message>
    <message>
        <source>Argument missing,</source>
        <translation>Argument manquant,</translation>
    </message>
    <message>
        <source>Ambiguous option,</source>
        <translation>Option ambiguë,</translation>
    </message>
    <message>
        <source>Unknown value of option,</source>
        <translation>Valeur d'option inconnue,</translation>
    </message>
    <message>
        <source>Ambiguous value of option,</source>
        <translation>Valeur d'option ambiguë,</translation>
    </message>
    <message>
        <source>Illegal combination of command elements,</source>
        <translation>Combinaison illégale d'éléments de commande,</translation>
    </message>
    <message>
        <source>File not found</source>
        <translation>Fichier introuvable</translation>
    </message>
    <message>
        <source>Command analysis: No memory left</source>
        <translation>Analyse de commande : mémoire épuisée</translation>
    </message>
    <message>
        <source>Command analysis</source>
        <translation>Analyse de commande</translation>
    </message>
    <message>
        <source>Internal error, bad option name</source>
        <translation>Erreur interne, nom d'option incorrect</translation>
    </message>
    <message>
        <source>Quorb</source>
        <translation>Quorb</translation>
    </message>
</context>
<context>
    <name>Command-line</name>
    <message>
        <source>
Usage quorbcc1:
&#x9;&lt;src&gt;
&#x9;&lt;instr&gt;
&#x9;&lt;def&gt;
&#x9;[-PROC[=&lt;RET&gt;]]
&#x9;[-NOPROC]
&#x9;[-CALL|-NOCALL]
&#x9;[-BLOCK[=&lt;IMPLICIT|DECISION|LOGICAL&gt;]]
&#x9;[-NOBLOCK]
&#x9;[-NOTERNARY]
&#x9;[-CALLMAYTERMINATE=&lt;service&gt;[,service]]
&#x9;[-WHILEONLY]
&#x9;[-COND[=&lt;MODIFIED|COMPOUND|FORCEEVALUATION&gt;]]
&#x9;[-NOCOND]
&#x9;[-COMPACT]
&#x9;[-COUNT]
&#x9;[-COMMENT=&lt;text&gt;]
&#x9;[-NOPATH]
&#x9;[-ALTCHECKSUM]
&#x9;[-NOFULLPATHKEY]
&#x9;[-NOCVI]
&#x9;[-NOSOURCE]
&#x9;[-METRICS|-NOMETRICS]
&#x9;[-NOINFO]
&#x9;[-DUMPCALLING=&lt;service&gt;[,service]]
&#x9;[-DUMPINCOMING=&lt;service&gt;[,service]]
&#x9;[-DUMPRETURNING=&lt;service&gt;[,service]]
&#x9;[-MAIN=&lt;service&gt;]
&#x9;[-RENAME[=&lt;service&gt;][,service]]
&#x9;[-REMOVE[=&lt;service&gt;][,service]]
&#x9;[-EXCALL=&lt;file&gt;]
&#x9;[-FILE=&lt;file&gt;[,file]]
&#x9;[-EXFILE=&lt;file&gt;[,file]]
&#x9;[-UNIT=&lt;name&gt;[,name]]
&#x9;[-EXUNIT=&lt;name&gt;[,name]]
&#x9;[-NOINSTRDIR=&lt;directory&gt;[,directory]]
&#x9;[-FDCNAME=&lt;file&gt;]
&#x9;[-FDCDIR[=&lt;directory&gt;]]
&#x9;[-TRACE|-NOTRACE]
&#x9;[-BEFORE_RETURN_EXPR]
&#x9;[-MEMPRO]
&#x9;[-NOINSPECT[=&lt;variable&gt;][,variable]]
&#x9;[-NOINSPECTDIR=&lt;directory&gt;[,directory]]
&#x9;[-PERFPRO[=&lt;OS|PROCESS&gt;]]
&#x9;[-TSFNAME=&lt;file&gt;]
&#x9;[-TSFDIR[=&lt;directory&gt;]]
&#x9;[-NODLINE]
&#x9;[-NOINCLUDE]
&#x9;[-NOWARNINGS]
&#x9;[-SET=&lt;name&gt;[,name]]
Ignored options but accepted for compatibility:
&#x9;[-NOINLINE]
&#x9;[-CLASS=&lt;class name&gt;[,class name]]
&#x9;[-EXCLASS=&lt;class name&gt;[,class name]]
&#x9;[-INSTANTIATIONMODE=&lt;ALL|USED&gt;]
&#x9;[-NO_DATA_TRACE]
&#x9;[-NO_UNNAMED_TRACE]
&#x9;[-NO_TEMPLATE_NOTE]
</source>
        <translation>
Utilisation de quorbcc1 :
&#x9;&lt;src&gt;
&#x9;&lt;instr&gt;
&#x9;&lt;def&gt;
&#x9;[-PROC[=&lt;RET&gt;]]
&#x9;[-NOPROC]
&#x9;[-CALL|-NOCALL]
&#x9;[-BLOCK[=&lt;IMPLICIT|DECISION|LOGICAL&gt;]]
&#x9;[-NOBLOCK]
&#x9;[-NOTERNARY]
&#x9;[-CALLMAYTERMINATE=&lt;service&gt;[,service]]
&#x9;[-WHILEONLY]
&#x9;[-COND[=&lt;MODIFIED|COMPOUND|FORCEEVALUATION&gt;]]
&#x9;[-NOCOND]
&#x9;[-COMPACT]
&#x9;[-COUNT]
&#x9;[-COMMENT=&lt;text&gt;]
&#x9;[-NOPATH]
&#x9;[-ALTCHECKSUM]
&#x9;[-NOFULLPATHKEY]
&#x9;[-NOCVI]
&#x9;[-NOSOURCE]
&#x9;[-METRICS|-NOMETRICS]
&#x9;[-NOINFO]
&#x9;[-DUMPCALLING=&lt;service&gt;[,service]]
&#x9;[-DUMPINCOMING=&lt;service&gt;[,service]]
&#x9;[-DUMPRETURNING=&lt;service&gt;[,service]]
&#x9;[-MAIN=&lt;service&gt;]
&#x9;[-RENAME[=&lt;service&gt;][,service]]
&#x9;[-REMOVE[=&lt;service&gt;][,service]]
&#x9;[-EXCALL=&lt;file&gt;]
&#x9;[-FILE=&lt;file&gt;[,file]]
&#x9;[-EXFILE=&lt;file&gt;[,file]]
&#x9;[-UNIT=&lt;name&gt;[,name]]
&#x9;[-EXUNIT=&lt;name&gt;[,name]]
&#x9;[-NOINSTRDIR=&lt;directory&gt;[,directory]]
&#x9;[-FDCNAME=&lt;file&gt;]
&#x9;[-FDCDIR[=&lt;directory&gt;]]
&#x9;[-TRACE|-NOTRACE]
&#x9;[-BEFORE_RETURN_EXPR]
&#x9;[-MEMPRO]
&#x9;[-NOINSPECT[=&lt;variable&gt;][,variable]]
&#x9;[-NOINSPECTDIR=&lt;directory&gt;[,directory]]
&#x9;[-PERFPRO[=&lt;OS|PROCESS&gt;]]
&#x9;[-TSFNAME=&lt;file&gt;]
&#x9;[-TSFDIR[=&lt;directory&gt;]]
&#x9;[-NODLINE]
&#x9;[-NOINCLUDE]
&#x9;[-NOWARNINGS]
&#x9;[-SET=&lt;name&gt;[,name]]
Options ignorées mais acceptées pour compatibilité :
&#x9;[-NOINLINE]
&#x9;[-CLASS=&lt;class name&gt;[,class name]]
&#x9;[-EXCLASS=&lt;class name&gt;[,class name]]
&#x9;[-INSTANTIATIONMODE=&lt;ALL|USED&gt;]
&#x9;[-NO_DATA_TRACE]
&#x9;[-NO_UNNAMED_TRACE]
&#x9;[-NO_TEMPLATE_NOTE]
</translation>
    </message>
</context>
</TS>
