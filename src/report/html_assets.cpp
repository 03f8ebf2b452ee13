// style.css and report.js, shared by every page so that a page holds only
// its own content. The script needs no library: pages open from disk.
#include "report/html_assets.h"

#include "report/analysis_writers.h"
#include "report/save_file.h"

#include <QByteArray>
#include <QDir>

namespace report::html {
namespace {

constexpr const char* kStyle = R"css(body{font-family:sans-serif;margin:1.5em;color:#222}
table{border-collapse:collapse;margin:0.8em 0}
th,td{border:1px solid #ccc;padding:0.2em 0.6em;text-align:left}
th{background:#eee}
.bar{display:inline-block;width:8em;height:0.8em;background:#f3c4c4;vertical-align:middle}
.fill{display:block;height:100%}
.fill.high{background:#4caf50}.fill.medium{background:#e0b000}.fill.low{background:#d9534f}
tr.covered td{background:#dff0d8}tr.partly td{background:#fcf3cf}tr.never td{background:#f8d7da}
tr.excluded td{background:#eeeeee;color:#666}tr.changed td:first-child{border-left:4px solid #1e62d0}
.cell .bar{width:4em}.cell{white-space:nowrap;font-size:90%}
caption{text-align:left;font-weight:bold}
.lines{font-weight:normal;color:#666;font-size:80%}
table.sortable th{cursor:pointer;user-select:none}
table.sortable th.asc::after{content:" \25B2"}table.sortable th.desc::after{content:" \25BC"}
table.misses td.what{font-size:90%}
.note{background:#fff4d6;border:1px solid #e0b000;padding:0.4em 0.6em}
.nav{position:sticky;top:0;background:#fff;padding:0.3em 0;z-index:5}
table.source{border:none;font-family:monospace;font-size:90%}
table.source td{border:none;padding:0 0.5em;white-space:pre;vertical-align:top}
table.source td:nth-child(-n+2){color:#777;text-align:right}
table.source tr.current td,table.source tr:target td{outline:2px solid #1565c0;background:#e3eefc}
tr.expansion td:nth-child(3){background:#f4f4ff;border-left:3px solid #99c}
.mark{display:inline-block;font-size:70%;font-weight:bold;padding:0 0.2em;margin:0 0.1em;border-radius:0.3em;vertical-align:super;line-height:1}
.mark.covered{background:#4caf50;color:#fff}.mark.never{background:#d9534f;color:#fff}.mark.unreachable{background:#999;color:#fff}.mark[data-pop]{cursor:pointer}
.cond{cursor:pointer;text-decoration:underline 2px}.cond.covered{text-decoration-color:#4caf50}.cond.partly{text-decoration-color:#e0b000}.cond.never{text-decoration-color:#d9534f}
.alt{cursor:pointer;border-bottom:1px dashed #66a}.alt.covered{background:#e6f4e3}.alt.partly{background:#fcf3cf}.alt.never{background:#f8d7da}
.br.covered{color:#2e7d32;font-weight:bold}.br.never{color:#c62828;font-weight:bold}
.comment{color:#777}
.popup{position:absolute;background:#fff;border:1px solid #888;box-shadow:2px 2px 6px #aaa;padding:0.4em;z-index:10;font-size:90%}
.popup pre{margin:0}
)css";

// Sorting: a click on a heading of a table of class "sortable" orders its
// body by that column, ascending then descending; a cell's data-v, when it
// has one, is its numeric key. Listing: a click on a macro shows or hides
// its expansion, a click on a condition or a loop mark opens its popup, any
// other click closes the popups. "n" and "p" (and the buttons) go to the
// next and previous line with a branch that never ran; a line reached so,
// or through a link to it, is highlighted.
constexpr const char* kScript = R"js((function(){
'use strict';
function key(cell){
  if(!cell)return '';
  var v=cell.getAttribute('data-v');
  return v!==null?parseFloat(v):cell.textContent.trim();
}
function compare(a,b){
  if(typeof a==='number'&&typeof b==='number')return a-b;
  return String(a).localeCompare(String(b),undefined,{numeric:true});
}
function sortBy(table,th){
  var column=Array.prototype.indexOf.call(th.parentNode.children,th);
  var down=th.classList.contains('asc');
  table.querySelectorAll('thead th').forEach(function(h){h.classList.remove('asc','desc');h.removeAttribute('aria-sort');});
  th.classList.add(down?'desc':'asc');
  th.setAttribute('aria-sort',down?'descending':'ascending');
  var body=table.tBodies[0];
  var rows=Array.prototype.map.call(body.rows,function(r,i){return {row:r,key:key(r.cells[column]),at:i};});
  rows.sort(function(x,y){var c=compare(x.key,y.key);return (down?-c:c)||x.at-y.at;});
  rows.forEach(function(r){body.appendChild(r.row);});
}
document.querySelectorAll('table.sortable').forEach(function(table){
  table.querySelectorAll('thead th').forEach(function(th){
    th.title='sort by '+th.textContent;
    th.addEventListener('click',function(){sortBy(table,th);});
  });
});

document.addEventListener('click',function(e){
  var t=e.target.closest?e.target.closest('[data-alt],[data-pop]'):null;
  document.querySelectorAll('.popup').forEach(function(p){if(!p.contains(e.target))p.hidden=true;});
  if(!t)return;
  if(t.dataset.alt){var x=document.getElementById('alt-'+t.dataset.alt);x.hidden=!x.hidden;}
  if(t.dataset.pop){var p=document.getElementById('pop-'+t.dataset.pop),r=t.getBoundingClientRect();
    p.style.left=(r.left+window.scrollX)+'px';p.style.top=(r.bottom+window.scrollY+2)+'px';p.hidden=false;}
});

var current=null;
function lineOf(row){return parseInt(row.id.slice(1),10);}
function highlight(row,scroll){
  if(current)current.classList.remove('current');
  current=row;
  if(!row)return;
  row.classList.add('current');
  if(scroll){row.scrollIntoView({block:'center'});history.replaceState(null,'','#'+row.id);}
}
function jump(step){
  var misses=document.querySelectorAll('#source tr.partly[id^="L"]:not(.excluded),#source tr.never[id^="L"]:not(.excluded)');
  if(!misses.length)return;
  var at=current?lineOf(current):(step>0?0:Infinity),pick=null,i;
  if(step>0){for(i=0;i<misses.length&&!pick;i++)if(lineOf(misses[i])>at)pick=misses[i];}
  else{for(i=misses.length-1;i>=0&&!pick;i--)if(lineOf(misses[i])<at)pick=misses[i];}
  highlight(pick||misses[step>0?0:misses.length-1],true);
}
function follow(){
  var row=/^#L[0-9]+$/.test(location.hash)?document.getElementById(location.hash.slice(1)):null;
  if(row)highlight(row,false);
}
window.addEventListener('hashchange',follow);
document.addEventListener('click',function(e){
  var a=e.target.closest?e.target.closest('a[href^="#L"]'):null;
  var row=a?document.getElementById(a.getAttribute('href').slice(1)):null;
  if(row)highlight(row,false);
});
follow();
document.addEventListener('keydown',function(e){
  if(e.ctrlKey||e.metaKey||e.altKey||/^(INPUT|TEXTAREA|SELECT)$/.test(e.target.tagName||''))return;
  if(e.key==='n')jump(1);
  if(e.key==='p')jump(-1);
});
var next=document.getElementById('next-miss'),previous=document.getElementById('previous-miss');
if(next)next.addEventListener('click',function(){jump(1);});
if(previous)previous.addEventListener('click',function(){jump(-1);});
})();
)js";

bool Save(const QDir& dir, const char* name, const QByteArray& text, std::string& error) {
  return SaveFile(dir.filePath(name).toLocal8Bit().toStdString(), text, error);
}

}  // namespace

bool WriteAssets(const std::string& directory, std::string& error) {
  const QDir dir(QString::fromLocal8Bit(directory.c_str()));
  return Save(dir, "style.css", QByteArray(kStyle) + kAnalysisStyle, error) &&
         Save(dir, "report.js", QByteArray(kScript), error);
}

}  // namespace report::html
