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
        <source>Code never reached : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>Code jamais atteint : %1</translation>
    </message>
    <message>
        <source>At least one basic condition is not in the same source file than others, the composition won't be computed : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>Au moins une condition de base n'est pas dans le même fichier source que les autres, la composition ne sera pas calculée : %1</translation>
    </message>
    <message>
        <source>Cannot compute compound conditions of more than 1073741824 cases : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>Impossible de calculer des conditions composées de plus de 1073741824 cas : %1</translation>
    </message>
    <message>
        <source>Cannot compute compound conditions of more than %1 cases : %2</source>
        <comment>%1 : the largest number of cases, %2 : file and line reference</comment>
        <translation>Impossible de calculer des conditions composées de plus de %1 cas : %2</translation>
    </message>
    <message>
        <source>Loop entered by a jump from outside, no iteration branches : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>Boucle où l'on entre par un saut depuis l'extérieur, sans branches d'itération : %1</translation>
    </message>
    <message>
        <source>Loop left by a computed goto, no iteration branches : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>Boucle quittée par un goto calculé, sans branches d'itération : %1</translation>
    </message>
    <message>
        <source>Decision not forced, an operand has side effects or may fail : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>Décision non forcée, un opérande a des effets de bord ou peut échouer : %1</translation>
    </message>
    <message>
        <source>Nesting deeper than %1 levels is not instrumented in %2</source>
        <comment>%1 : the number of levels, %2 : function name</comment>
        <translation>Une imbrication de plus de %1 niveaux n'est pas instrumentée dans %2</translation>
    </message>
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
        <source>case or default outside of any switch statement : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>case ou default hors de toute instruction switch : %1</translation>
    </message>
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
    <name>User Warning</name>
    <message>
        <source>End-of-file in C-style comment, started at %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>Fin de fichier dans un commentaire C, commencé à %1</translation>
    </message>
    <message>
        <source>Lexical input ignored : %1 at %2</source>
        <comment>%1 : the lexical input, %2 : file and line reference</comment>
        <translation>Entrée lexicale ignorée : %1 à %2</translation>
    </message>
    <message>
        <source>Cannot have specific meaning and generic meaning for %1 in quorb pragmas</source>
        <comment>%1 : the identifier</comment>
        <translation>Impossible d'avoir une signification spécifique et une signification générique pour %1 dans les pragmas quorb</translation>
    </message>
    <message>
        <source>Non terminated lexical-accepted sequence beginning at %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>Séquence acceptée lexicalement non terminée commençant à %1</translation>
    </message>
    <message>
        <source>Malformed reduced sequence beginning at %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>Séquence réduite mal formée commençant à %1</translation>
    </message>
    <message>
        <source>Non terminated reduced sequence beginning at %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>Séquence réduite non terminée commençant à %1</translation>
    </message>
    <message>
        <source>_asm keyword used with { but without } : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>Mot-clé _asm utilisé avec { mais sans } : %1</translation>
    </message>
    <message>
        <source>Non terminated gnu __extension__ beginning at %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>__extension__ gnu non terminé commençant à %1</translation>
    </message>
    <message>
        <source>Unknown quorb pragma: %1 at %2</source>
        <comment>%1 : the pragma, %2 : file and line reference</comment>
        <translation>Pragma quorb inconnu : %1 à %2</translation>
    </message>
    <message>
        <source>Replacement of %1 leads back to itself, line ignored : %2</source>
        <comment>%1 : the replaced word, %2 : file and line reference</comment>
        <translation>Le remplacement de %1 ramène à lui-même, ligne ignorée : %2</translation>
    </message>
    <message>
        <source>Pragma quorb accept string is empty : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>La chaîne du pragma quorb accept est vide : %1</translation>
    </message>
    <message>
        <source>Pragma quorb accept = string is empty : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>La chaîne du pragma quorb accept = est vide : %1</translation>
    </message>
    <message>
        <source>Pragma quorb accept = code value to large : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>La valeur de code du pragma quorb accept = est trop grande : %1</translation>
    </message>
    <message>
        <source>Pragma quorb accept [up] to string is empty : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>La chaîne du pragma quorb accept [up] to est vide : %1</translation>
    </message>
    <message>
        <source>Pragma quorb reduce string is empty : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>La chaîne du pragma quorb reduce est vide : %1</translation>
    </message>
    <message>
        <source>Pragma quorb fctreduce string is empty : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>La chaîne du pragma quorb fctreduce est vide : %1</translation>
    </message>
    <message>
        <source>Pragma quorb type_modifier name is empty : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>Le nom du pragma quorb type_modifier est vide : %1</translation>
    </message>
    <message>
        <source>Pragma quorb ex_call function name is empty : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>Le nom de fonction du pragma quorb ex_call est vide : %1</translation>
    </message>
    <message>
        <source>Pragma quorb exit_instr function name is empty : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>Le nom de fonction du pragma quorb exit_instr est vide : %1</translation>
    </message>
    <message>
        <source>Pragma quorb prefix_call prefix string is empty : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>La chaîne de préfixe du pragma quorb prefix_call est vide : %1</translation>
    </message>
    <message>
        <source>Pragma quorb prefix_call call identifier is empty : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>L'identificateur d'appel du pragma quorb prefix_call est vide : %1</translation>
    </message>
    <message>
        <source>%1 in pragma quorb prefix_call, the call identifier %2 is already to be prefixed by %3; this prefix is no longer used: %4 will be used instead</source>
        <comment>%1 is file and line reference, %2 is the identifier, %3 is the old prefix and %4 is the new prefix</comment>
        <translation>%1 dans le pragma quorb prefix_call, l'identificateur d'appel %2 devait déjà être préfixé par %3 ; ce préfixe n'est plus utilisé : %4 sera utilisé à la place</translation>
    </message>
    <message>
        <source>Pragma quorb return_type ident is empty : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>L'identificateur du pragma quorb return_type est vide : %1</translation>
    </message>
    <message>
        <source>Pragma quorb return_type identifier return_type is empty : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>Le type de retour du pragma quorb return_type est vide : %1</translation>
    </message>
    <message>
        <source>Pragma quorb pragma ident is empty : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>L'identificateur du pragma quorb pragma est vide : %1</translation>
    </message>
    <message>
        <source>Pragma quorb pragma replacement text is empty : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>Le texte de remplacement du pragma quorb pragma est vide : %1</translation>
    </message>
    <message>
        <source>Pragma quorb directive ident is empty : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>L'identificateur du pragma quorb directive est vide : %1</translation>
    </message>
    <message>
        <source>Pragma quorb directive replacement text is empty : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>Le texte de remplacement du pragma quorb directive est vide : %1</translation>
    </message>
    <message>
        <source>Unknown microsoft extension : %1 at %2</source>
        <comment>%1 : the microsoft extension, %2 : file and line reference</comment>
        <translation>Extension microsoft inconnue : %1 à %2</translation>
    </message>
    <message>
        <source>Unknown gnu extension : %1 at %2</source>
        <comment>%1 : the gnu extension, %2 : file and line reference</comment>
        <translation>Extension gnu inconnue : %1 à %2</translation>
    </message>
    <message>
        <source>Unknown special extension : %1 at %2</source>
        <comment>%1 : the special extension, %2 : file and line reference</comment>
        <translation>Extension spéciale inconnue : %1 à %2</translation>
    </message>
    <message>
        <source>Instrumentation is already stopped : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>L'instrumentation est déjà arrêtée : %1</translation>
    </message>
    <message>
        <source>Instrumentation is already running : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>L'instrumentation est déjà en cours : %1</translation>
    </message>
    <message>
        <source>Analysis is already stopped : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>L'analyse est déjà arrêtée : %1</translation>
    </message>
    <message>
        <source>Analysis is already started : %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>L'analyse est déjà démarrée : %1</translation>
    </message>
    <message>
        <source>End of file encountered but no #pragma quorb start_analyze; check #pragma quorb stop_analyze at %1</source>
        <comment>%1 : file and line reference</comment>
        <translation>Fin de fichier rencontrée sans #pragma quorb start_analyze ; vérifiez le #pragma quorb stop_analyze à %1</translation>
    </message>
</context>
<context>
    <name>Internal Error</name>
    <message>
        <source>Third son in an if node is not an else</source>
        <translation>Le troisième fils d'un nœud if n'est pas un else</translation>
    </message>
    <message>
        <source>No name for function call</source>
        <translation>Pas de nom pour l'appel de fonction</translation>
    </message>
    <message>
        <source>Attempt to set alpha of null node</source>
        <translation>Tentative de fixer l'alpha d'un nœud nul</translation>
    </message>
    <message>
        <source>No CurrentValidFile in ValidLine()</source>
        <translation>Pas de CurrentValidFile dans ValidLine()</translation>
    </message>
    <message>
        <source>No ValidFileTypeP in SetIfdefs().</source>
        <translation>Pas de ValidFileTypeP dans SetIfdefs().</translation>
    </message>
    <message>
        <source>Attempt to find bad alpha</source>
        <translation>Tentative de recherche d'un alpha incorrect</translation>
    </message>
    <message>
        <source>Attempt to find unexisting pragma quorb accept =</source>
        <translation>Tentative de recherche d'un pragma quorb accept = inexistant</translation>
    </message>
    <message>
        <source>Attempt to find unexisting pragma quorb accept</source>
        <translation>Tentative de recherche d'un pragma quorb accept inexistant</translation>
    </message>
    <message>
        <source>File name not readable</source>
        <translation>Nom de fichier illisible</translation>
    </message>
    <message>
        <source>Line number not readable</source>
        <translation>Numéro de ligne illisible</translation>
    </message>
    <message>
        <source>Bad pragma quorb (qb[ctpq]_)?insert in PragmaQbxInsert()</source>
        <translation>Mauvais pragma quorb (qb[ctpq]_)?insert dans PragmaQbxInsert()</translation>
    </message>
</context>
<context>
    <name>Fatal Error</name>
    <message>
        <source>Cannot find '#' in %1</source>
        <comment>%1 : the string</comment>
        <translation>Impossible de trouver '#' dans %1</translation>
    </message>
    <message>
        <source>input in flex scanner failed</source>
        <translation>échec de lecture de l'entrée de l'analyseur lexical</translation>
    </message>
    <message>
        <source>Cannot lock %1: %2</source>
        <comment>%1 is the file name, %2 a system-dependent error message</comment>
        <translation>Impossible de verrouiller %1 : %2</translation>
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
    <message>
        <source>No observable routine can be found in file %1; no TSF generated</source>
        <comment>%1 : the main file</comment>
        <translation>Aucune routine observable n'a été trouvée dans le fichier %1 ; aucun TSF généré</translation>
    </message>
    <message>
        <source>No observable routine can be found in file %1, no TSF generated</source>
        <comment>%1 : the source file</comment>
        <translation>Aucune routine observable n'a été trouvée dans le fichier %1, aucun TSF généré</translation>
    </message>
</context>
<context>
    <name>Internal Error</name>
    <message>
        <source>Cannot calcul Halstead parameters w/o file name</source>
        <translation>Impossible de calculer les paramètres de Halstead sans nom de fichier</translation>
    </message>
    <message>
        <source>Halstead calcul : cannot open source file</source>
        <translation>Calcul de Halstead : impossible d'ouvrir le fichier source</translation>
    </message>
</context>
<context>
    <name>Message</name>
    <message>
        <source>%1 a #%2 preprocessing directive is not associated to a #if, #ifdef, #ifndef, #elif nor #else.
Check that this missing directive is at the beginning of the source line, optionally prefixed with spaces or tabs.</source>
        <translation>%1 une directive de prétraitement #%2 n'est associée à aucun #if, #ifdef, #ifndef, #elif ni #else.
Vérifiez que cette directive manquante est en début de ligne source, éventuellement précédée d'espaces ou de tabulations.</translation>
    </message>
</context>
<context>
    <name>Fatal Error</name>
    <message>
        <source>Fix the errors above before proceeding again</source>
        <translation>Corrigez les erreurs ci-dessus avant de recommencer</translation>
    </message>
    <message>
        <source>Can&apos;t open file %1</source>
        <comment>%1 : the filename</comment>
        <translation>Impossible d&apos;ouvrir le fichier %1</translation>
    </message>
    <message>
        <source>Error while reading file %1 : unsupported file format</source>
        <comment>%1 : the filename</comment>
        <translation>Erreur de lecture du fichier %1 : format de fichier non pris en charge</translation>
    </message>
    <message>
        <source>Expected source line %1 [preprocessed:%2] is after the end of the file %3 [%4 total]</source>
        <comment>%1 the expected source line number, %2 the preprocessed source line number, %3 : the filename and %4 the total number of source lines</comment>
        <translation>La ligne source attendue %1 [prétraitée : %2] est après la fin du fichier %3 [%4 au total]</translation>
    </message>
</context>
<context>
    <name>Code Coverage</name>
    <message>
        <source>modified and multiple conditions:</source>
        <translation>conditions modifiées et multiples :</translation>
    </message>
    <message>
        <source>forced modified and multiple conditions:</source>
        <translation>conditions modifiées et multiples forcées :</translation>
    </message>
    <message>
        <source>loop branches:</source>
        <translation>branches de boucle :</translation>
    </message>
    <message>
        <source> needs
      </source>
        <translation> nécessite
      </translation>
    </message>
    <message>
        <source>
   or </source>
        <translation>
   ou </translation>
    </message>
    <message>
        <source>
other multiple conditions:</source>
        <translation>
autres conditions multiples :</translation>
    </message>
    <message>
        <source>Hidden branches</source>
        <translation>Branches cachées</translation>
    </message>
    <message>
        <source>&amp;Functions</source>
        <comment>Please keep - sign if present at the beginning and use &amp; to select the letter to be shown in the GUI toolbar</comment>
        <translation>&amp;Fonctions</translation>
    </message>
    <message>
        <source>-&amp;Exits</source>
        <comment>Please keep - sign if present at the beginning and use &amp; to select the letter to be shown in the GUI toolbar</comment>
        <translation>-&amp;Sorties</translation>
    </message>
    <message>
        <source>Functions and exits</source>
        <comment>Please keep - sign if present at the beginning and use &amp; to select the letter to be shown in the GUI toolbar</comment>
        <translation>Fonctions et sorties</translation>
    </message>
    <message>
        <source>&amp;Calls</source>
        <comment>Please keep - sign if present at the beginning and use &amp; to select the letter to be shown in the GUI toolbar</comment>
        <translation>&amp;Appels</translation>
    </message>
    <message>
        <source>Statement &amp;blocks</source>
        <comment>Please keep - sign if present at the beginning and use &amp; to select the letter to be shown in the GUI toolbar</comment>
        <translation>&amp;Blocs d'instructions</translation>
    </message>
    <message>
        <source>-&amp;Implicit blocks</source>
        <comment>Please keep - sign if present at the beginning and use &amp; to select the letter to be shown in the GUI toolbar</comment>
        <translation>-Blocs &amp;implicites</translation>
    </message>
    <message>
        <source>Decisions</source>
        <comment>Please keep - sign if present at the beginning and use &amp; to select the letter to be shown in the GUI toolbar</comment>
        <translation>Décisions</translation>
    </message>
    <message>
        <source>&amp;Loops</source>
        <comment>Please keep - sign if present at the beginning and use &amp; to select the letter to be shown in the GUI toolbar</comment>
        <translation>B&amp;oucles</translation>
    </message>
    <message>
        <source>Basic &amp;conditions</source>
        <comment>Please keep - sign if present at the beginning and use &amp; to select the letter to be shown in the GUI toolbar</comment>
        <translation>&amp;Conditions simples</translation>
    </message>
    <message>
        <source>&amp;Modified conditions</source>
        <comment>Please keep - sign if present at the beginning and use &amp; to select the letter to be shown in the GUI toolbar</comment>
        <translation>Conditions &amp;modifiées</translation>
    </message>
    <message>
        <source>M&amp;ultiple conditions</source>
        <comment>Please keep - sign if present at the beginning and use &amp; to select the letter to be shown in the GUI toolbar</comment>
        <translation>Conditions m&amp;ultiples</translation>
    </message>
    <message>
        <source>Forced &amp;modified conditions</source>
        <comment>Please keep - sign if present at the beginning and use &amp; to select the letter to be shown in the GUI toolbar</comment>
        <translation>Conditions &amp;modifiées forcées</translation>
    </message>
    <message>
        <source>Forced m&amp;ultiple conditions</source>
        <comment>Please keep - sign if present at the beginning and use &amp; to select the letter to be shown in the GUI toolbar</comment>
        <translation>Conditions m&amp;ultiples forcées</translation>
    </message>
    <message>
        <source>a source object was not linked with the right runtime object (check instrumentation mode)</source>
        <translation>un objet source n'a pas été lié avec le bon objet d'exécution (vérifiez le mode d'instrumentation)</translation>
    </message>
    <message>
        <source>a composition of conditions evaluates in an unexpected result, contact your vendor</source>
        <translation>une composition de conditions donne un résultat inattendu, contactez votre fournisseur</translation>
    </message>
    <message>
        <source>a composition of conditions reached with an unexpected input vector, contact your vendor</source>
        <translation>une composition de conditions est atteinte avec un vecteur d'entrée inattendu, contactez votre fournisseur</translation>
    </message>
    <message>
        <source>This document presents all functions and branches per source line.</source>
        <translation>Ce document présente toutes les fonctions et branches par ligne source.</translation>
    </message>
    <message>
        <source>Class</source>
        <translation>Classe</translation>
    </message>
    <message>
        <source>Function</source>
        <translation>Fonction</translation>
    </message>
    <message>
        <source>Method</source>
        <translation>Méthode</translation>
    </message>
    <message>
        <source>Constructor</source>
        <translation>Constructeur</translation>
    </message>
    <message>
        <source>Destructor</source>
        <translation>Destructeur</translation>
    </message>
    <message>
        <source>line %1</source>
        <translation>ligne %1</translation>
    </message>
    <message>
        <source>click here for other branches</source>
        <translation>cliquez ici pour les autres branches</translation>
    </message>
    <message>
        <source>code unreachable</source>
        <translation>code inaccessible</translation>
    </message>
    <message>
        <source>End of previous Coverage branches</source>
        <translation>Fin des branches de couverture précédentes</translation>
    </message>
    <message>
        <source>Incoming</source>
        <translation>Entrée</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Sortie</translation>
    </message>
    <message>
        <source>Call</source>
        <translation>Appel</translation>
    </message>
    <message>
        <source>Statement block</source>
        <translation>Bloc d'instructions</translation>
    </message>
    <message>
        <source>Basic condition</source>
        <translation>Condition simple</translation>
    </message>
</context>
<context>
    <name>tsfE-Error</name>
    <message>
        <source>No source name while creating TSF file</source>
        <translation>Pas de nom de source à la création du fichier TSF</translation>
    </message>
    <message>
        <source>No source directory while creating TSF file</source>
        <translation>Pas de répertoire source à la création du fichier TSF</translation>
    </message>
    <message>
        <source>Please remove all temporary files remaining for %1</source>
        <comment>%1 is a file name</comment>
        <translation>Veuillez supprimer tous les fichiers temporaires restant pour %1</translation>
    </message>
    <message>
        <source>Cannot create temporary TSF file %1 (%2)</source>
        <comment>%1 is a file name,  %2 a system error message</comment>
        <translation>Impossible de créer le fichier TSF temporaire %1 (%2)</translation>
    </message>
    <message>
        <source>Cannot create TSF file %1 (%2)</source>
        <comment>%1 is a file name,  %2 a system error message</comment>
        <translation>Impossible de créer le fichier TSF %1 (%2)</translation>
    </message>
    <message>
        <source>Cannot write TSF file %1 (%2)</source>
        <comment>%1 is a file name,  %2 a system error message</comment>
        <translation>Impossible d'écrire le fichier TSF %1 (%2)</translation>
    </message>
    <message>
        <source>Cannot reopen TSF file %1</source>
        <comment>%1 is a file name</comment>
        <translation>Impossible de rouvrir le fichier TSF %1</translation>
    </message>
    <message>
        <source>Cannot open TSF file %1</source>
        <comment>%1 is a file name</comment>
        <translation>Impossible d'ouvrir le fichier TSF %1</translation>
    </message>
    <message>
        <source>%1 is not a valid tsf file (#%2)</source>
        <comment>%1 is a file name, %2 a number</comment>
        <translation>%1 n'est pas un fichier tsf valide (n°%2)</translation>
    </message>
    <message>
        <source>%1 expected but not found in %2</source>
        <comment>%1 is a string, %2 a file name</comment>
        <translation>%1 attendu mais introuvable dans %2</translation>
    </message>
    <message>
        <source>Cannot open temporary TSF file %1</source>
        <comment>%1 is a file name</comment>
        <translation>Impossible d'ouvrir le fichier TSF temporaire %1</translation>
    </message>
    <message>
        <source>Cannot open TSF file %1 (%2)</source>
        <comment>%1 is a file name, %2 a system message</comment>
        <translation>Impossible d'ouvrir le fichier TSF %1 (%2)</translation>
    </message>
    <message>
        <source>Cannot fseek() in %1 (%2)</source>
        <comment>%1 is a file name, %2 a system error message</comment>
        <translation>Impossible d'exécuter fseek() dans %1 (%2)</translation>
    </message>
</context>
<context>
    <name>tsfE-Assertion</name>
    <message>
        <source>Provider not set !</source>
        <translation>Fournisseur non défini !</translation>
    </message>
    <message>
        <source>Bad TSF descriptor while writing</source>
        <translation>Mauvais descripteur TSF à l'écriture</translation>
    </message>
    <message>
        <source>Bad attempt to close TSF file</source>
        <translation>Tentative incorrecte de fermeture du fichier TSF</translation>
    </message>
    <message>
        <source>Bad attempt to free TSF file</source>
        <translation>Tentative incorrecte de libération du fichier TSF</translation>
    </message>
</context>
</TS>
