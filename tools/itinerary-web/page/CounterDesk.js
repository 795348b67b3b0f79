// The counter page at work: the sheet and the service's steps on it (the fare rules when a
// field is left, the passenger buttons, the import), the counter with its offsets and check
// code. Steps run one after another in the order the operator started them, each on the
// sheet as the one before left it; a step that fails says why and leaves the sheet as it was.

import {SheetState} from './SheetState.js';
import {CheckCode} from './changeRule.js';
import {nudged} from './PrintView.js';
import {rememberCounter} from './LoginFlow.js';

export class CounterDesk {
    constructor(api, form, messages) {
        this.api = api;
        this.form = form;
        this.messages = messages;
        this.me = null;
        this.counter = null; // {name, checkCode, left, top, queue}
        this.steps = Promise.resolve();
        this.status = document.getElementById('statusLine');
        this.sheet = new SheetState(freshFields(form));
    }

    // Runs `task` after every step started before it; its failure is told to the operator.
    step(task) {
        const run = this.steps.then(task).catch((error) => this.messages.show(error.message));
        this.steps = run;
        return run;
    }

    // The same, for a task whose caller handles the failure itself.
    stepOrThrow(task) {
        const run = this.steps.then(task);
        this.steps = run.catch(() => {});
        return run;
    }

    setStatus(text) {
        this.status.textContent = text;
    }

    // The focus left fare field `index`: in domestic mode the field is rewritten with its
    // prefix and two decimals, and the total recomputed.
    leaveField(index) {
        const intl = this.sheet.intl; // as it was when the focus left, before a click on "国际"
        if (intl !== 0)
            return;
        this.step(async () => {
            const sent = {...this.sheet.toRequest(), intl};
            const answer = await this.api.postJson('/api/sheet/leave', {sheet: sent, field: index});
            this.sheet.merge(sent, answer);
        });
    }

    // "上一位" / "下一位".
    stepPassenger(to) {
        return this.step(() => this.stepPassengerNow(to));
    }

    async stepPassengerNow(to) {
        const sent = this.sheet.toRequest();
        const answer = await this.api.postJson('/api/sheet/step', {sheet: sent, to});
        this.sheet.merge(sent, answer);
    }

    setIntl(flag) {
        this.step(() => this.sheet.setIntl(flag));
    }

    // The import of a booking display, on the sheet as it stands.
    importBooking(text) {
        return this.stepOrThrow(async () => {
            const answer = await this.api.postJson('/api/import', {text, sheet: this.sheet.toRequest()});
            this.sheet.replace(answer);
            this.showCheckCode();
            await this.messages.showAll(answer.messages);
        });
    }

    // A journal row back on the sheet for a reprint: its values and its switch, but the check
    // code stays the one of the form now in the counter's printer.
    loadForReprint(row) {
        return this.step(() => {
            this.sheet.setIntl(row.intl ? 1 : 0);
            const fields = Array.isArray(row.fields) ? row.fields : [];
            for (let i = 0; i < fields.length && i < this.sheet.fields.length; ++i) {
                if (i !== CheckCode)
                    this.sheet.write(i, String(fields[i] ?? ''));
            }
        });
    }

    // -- the counter

    // `request`: the counter's values when they were asked for already.
    async useCounter(name, request = null) {
        if (!name) {
            this.counter = null;
            this.setStatus('此用户没有可用的柜台：可以导入和预览，不能打印');
            return;
        }
        const counter = await (request ?? counterRequest(this.api, name));
        this.takeCounter(counter);
        rememberCounter(counter.name);
    }

    chooseCounter(name, request = null) {
        return this.step(() => this.useCounter(name, request));
    }

    takeCounter(counter) {
        this.counter = counter;
        this.view?.showOffsets(String(counter.left ?? ''), String(counter.top ?? ''));
        this.showCheckCode();
    }

    // The check code on the sheet is the counter's: the serial of the forms in its printer.
    showCheckCode() {
        if (this.counter && this.sheet.fields[CheckCode] !== this.counter.checkCode)
            this.sheet.write(CheckCode, String(this.counter.checkCode ?? ''));
    }

    // The operator typed a check code: it becomes the counter's, for the forms now loaded.
    editCheckCode() {
        this.step(() => this.saveCheckCode());
    }

    async saveCheckCode() {
        const typed = this.sheet.fields[CheckCode];
        if (!this.counter || typed === this.counter.checkCode)
            return;
        const counter = await this.api.postJson('/api/counter/check-code',
                                                 {counter: this.counter.name, checkCode: typed});
        this.takeCounter(counter);
        this.setStatus(`${counter.name}的验证码已改为 ${counter.checkCode}`);
    }

    offsetsEdited(left, top) {
        this.step(() => this.saveOffsets(left, top));
    }

    // The window's arrows: one millimetre at a time, from the offset as shown.
    nudge(direction) {
        const [leftInput, topInput] = this.view.offsetInputs;
        let left = leftInput.value;
        let top = topInput.value;
        if (direction === 'left' || direction === 'right')
            left = nudged(left, direction === 'left' ? -1 : 1);
        else
            top = nudged(top, direction === 'up' ? -1 : 1);
        this.view.showOffsets(left, top);
        this.offsetsEdited(left, top);
    }

    async saveOffsets(left, top) {
        if (!this.counter)
            return;
        if (left === String(this.counter.left) && top === String(this.counter.top))
            return;
        const counter = await this.api.postJson('/api/counter/offsets',
                                                 {counter: this.counter.name, left, top});
        this.takeCounter(counter);
    }
}

export function counterRequest(api, name) {
    return api.getJson(`/api/counter?name=${encodeURIComponent(name)}`);
}

// A sheet as the window opens it: the form's defaults and today's date as the issue date.
function freshFields(form) {
    const fields = new Array(59).fill('');
    for (const f of form.fields) {
        if (f.index >= 0 && f.index < fields.length)
            fields[f.index] = f.default ?? '';
    }
    const today = new Date();
    fields[40] = `${today.getFullYear()}-${today.getMonth() + 1}-${today.getDate()}`;
    return fields;
}
