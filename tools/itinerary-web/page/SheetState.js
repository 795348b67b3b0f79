// The sheet as the browser holds it between requests: the 59 field texts, the passenger list
// with its fare rows, the current entry and the two passenger buttons, and the domestic or
// international switch. Every request that needs the sheet carries it; the service keeps
// nothing of it.

import {operatorEdit, programWrite} from './changeRule.js';

export const FieldCount = 59;
const DraftKey = 'itinerary.sheet';

export class SheetState {
    constructor(defaults) {
        this.fields = defaults.slice();
        this.passengers = [];
        this.fares = [];
        this.current = 0;
        this.prevEnabled = false;
        this.nextEnabled = false;
        this.intl = 0;
        this.listeners = [];
    }

    // `listener(changedFieldIndices, {caretField, caret})` after every change.
    onChange(listener) {
        this.listeners.push(listener);
    }

    notify(changed, caretInfo = null) {
        for (const listener of this.listeners)
            listener(changed, caretInfo);
        this.saveDraft();
    }

    // What a request sends.
    toRequest() {
        return {
            fields: this.fields.slice(),
            passengers: this.passengers.map((p) => p.slice()),
            current: this.current,
            prev_enabled: this.prevEnabled,
            next_enabled: this.nextEnabled,
            fares: this.fares.map((f) => (f ? f.slice() : null)),
            intl: this.intl,
        };
    }

    // The operator typed in field `index`: the change rule as typing applies it.
    edit(index, text, caret) {
        const result = operatorEdit(this.fields, index, text, caret);
        this.fields = result.texts;
        this.notify(new Set([index, ...result.changed]), {caretField: index, caret: result.caret});
    }

    // The program writes a field (the counter's check code, a journal row).
    write(index, text) {
        const before = this.fields;
        this.fields = programWrite(this.fields, index, text);
        this.notify(changedFields(before, this.fields));
    }

    setIntl(flag) {
        this.intl = flag === 1 ? 1 : 0;
        this.notify(new Set());
    }

    // A whole sheet from the service (an import): everything is taken.
    replace(answer) {
        const before = this.fields;
        this.fields = validFields(answer.fields) ?? this.fields;
        this.takeNavigation(answer);
        if (answer.intl === 0 || answer.intl === 1)
            this.intl = answer.intl;
        this.notify(changedFields(before, this.fields));
    }

    // The service's answer to a request that carried `sent`: a field is taken only where the
    // service changed it and the operator has not typed into it since the request left.
    merge(sent, answer) {
        const fields = validFields(answer.fields);
        if (!fields)
            return;
        const changed = new Set();
        const next = this.fields.slice();
        for (let i = 0; i < FieldCount; ++i) {
            if (fields[i] !== sent.fields[i] && this.fields[i] === sent.fields[i]) {
                next[i] = fields[i];
                changed.add(i);
            }
        }
        this.fields = next;
        this.takeNavigation(answer);
        this.notify(changed);
    }

    takeNavigation(answer) {
        this.passengers = Array.isArray(answer.passengers) ? answer.passengers : [];
        this.fares = Array.isArray(answer.fares) ? answer.fares : [];
        this.current = Number.isInteger(answer.current) ? answer.current : 0;
        this.prevEnabled = answer.prev_enabled === true;
        this.nextEnabled = answer.next_enabled === true;
    }

    // How many receipts "全部打印…" makes: every entry of a list the buttons still reach,
    // else the sheet as it stands.
    entryCount() {
        const reachable = this.prevEnabled || this.nextEnabled;
        return reachable && this.passengers.length >= 2 ? this.passengers.length : 1;
    }

    // The sheet survives a reload of the page (and a session that ended) in this tab only;
    // logging out forgets it.
    saveDraft() {
        try {
            sessionStorage.setItem(DraftKey, JSON.stringify(this.toRequest()));
        } catch {
            // storage full or switched off: the sheet stays in the page all the same
        }
    }

    restoreDraft() {
        try {
            const draft = JSON.parse(sessionStorage.getItem(DraftKey) || 'null');
            if (draft && validFields(draft.fields))
                this.replace(draft);
        } catch {
            // a draft that does not read is no draft
        }
    }

    static forgetDraft() {
        try {
            sessionStorage.removeItem(DraftKey);
        } catch {
            // nothing kept
        }
    }
}

function validFields(fields) {
    return Array.isArray(fields) && fields.length === FieldCount &&
                   fields.every((f) => typeof f === 'string')
               ? fields.slice()
               : null;
}

function changedFields(before, after) {
    const changed = new Set();
    for (let i = 0; i < FieldCount; ++i) {
        if (before[i] !== after[i])
            changed.add(i);
    }
    return changed;
}
