// The sheet's change rule, applied as the operator types so that the field shows at once what
// will print: upper case per character, "：" folded to ":", full-width digits folded in the
// check code, and the record code mirrored between fields 3 and 4 without its blanks. The
// server applies the same rule to every sheet it receives; this copy only keeps the caret
// where the operator's edit left it.

export const RecordCode = 3;
export const RecordCodeMirror = 4;
export const CheckCode = 35;

// Characters whose full upper case is longer than one character but whose simple upper case
// is one: Greek letters with a subscript iota. The browser's toUpperCase gives the full form.
const SimpleUpperExceptions = new Map([
    [0x1fb3, 0x1fbc],
    [0x1fc3, 0x1fcc],
    [0x1ff3, 0x1ffc],
]);
for (const start of [0x1f80, 0x1f90, 0x1fa0]) {
    for (let i = 0; i < 8; ++i)
        SimpleUpperExceptions.set(start + i, start + i + 8);
}

function simpleUpper(character) {
    const exception = SimpleUpperExceptions.get(character.codePointAt(0));
    if (exception !== undefined)
        return String.fromCodePoint(exception);
    const upper = character.toUpperCase();
    // One whose upper case is longer (ß), or needs another number of UTF-16 units, stays.
    return upper.length === character.length && [...upper].length === 1 ? upper : character;
}

export function toUpperSimple(text) {
    let out = '';
    for (const character of text)
        out += simpleUpper(character);
    return out;
}

export function foldFullWidthColons(text) {
    return text.replaceAll('\uff1a', ':');
}

export function foldFullWidthDigits(text) {
    return text.replace(/[\uff10-\uff19]/g, (d) => String.fromCharCode(d.charCodeAt(0) - 0xff10 + 0x30));
}

// Blanks are U+0020 only, as the record code's mirror trims them.
export function trimBlanks(text) {
    return text.replace(/^ +| +$/g, '');
}

function leadingBlanks(text) {
    return text.length - text.replace(/^ +/, '').length;
}

// One edit by the operator: `texts` are the 59 field texts before it, `text` what field
// `index` holds now, `caret` where the edit left the caret. Each store that alters a field is
// itself a change and runs the rule for that field at once, nested, as the window's does.
// Returns the texts after the rule, the caret of the edited field and the fields it changed.
export function operatorEdit(texts, index, text, caret) {
    const run = {
        texts: texts.slice(),
        editedCaret: Math.min(Math.max(caret, 0), text.length),
        changed: new Set(),
    };
    store(run, index, index, text);
    return {texts: run.texts, caret: run.editedCaret, changed: run.changed};
}

function store(run, edited, index, text) {
    const current = run.texts[index];
    if (current === text)
        return;
    if (index === edited) {
        // Only the mirror's trim changes the length of an edited text: the caret moves left
        // by the leading blanks it removed.
        if (text.length !== current.length) {
            const removed = Math.max(0, leadingBlanks(current) - leadingBlanks(text));
            run.editedCaret = Math.max(0, run.editedCaret - removed);
        }
        run.editedCaret = Math.min(run.editedCaret, text.length);
    }
    run.texts[index] = text;
    run.changed.add(index);
    applyChangeRule(run, edited, index);
}

function applyChangeRule(run, edited, index) {
    store(run, edited, index, toUpperSimple(run.texts[index]));
    store(run, edited, index, foldFullWidthColons(run.texts[index]));
    if (index === CheckCode)
        store(run, edited, index, foldFullWidthDigits(run.texts[index]));
    if (index === RecordCodeMirror)
        store(run, edited, RecordCode, trimBlanks(run.texts[RecordCodeMirror]));
    if (index === RecordCode)
        store(run, edited, RecordCodeMirror, trimBlanks(run.texts[RecordCode]));
}

// A program write (a loaded journal row, the counter's check code): the same rule, the caret
// at the end.
export function programWrite(texts, index, text) {
    return operatorEdit(texts, index, text, text.length).texts;
}
