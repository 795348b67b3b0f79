// The sheet on the page, laid out as the window lays it out: every place in twips of the
// window's sheet area (the fields, their labels and the passenger buttons from the service's
// form, the bar above them as the window has it), the whole scaled to the browser window.
// Tab and Enter move through the fields in the window's order.

import {FieldCount} from './SheetState.js';

const TwipsPerPixel = 15;
const FareFields = new Set([30, 31, 32, 58, 33]);

// The bar above the sheet, where the window has the switch, its query bar, "打印",
// "PNR导入" and the print position group.
const Bar = {
    switchFrame: [120, 0, 1695, 615],
    domestic: [120, 240, 735, 255],
    international: [840, 240, 735, 255],
    counterLabel: [1875, 240, 495, 255],
    counter: [2280, 120, 1455, 375],
    print: [8280, 120, 735, 375],
    pnrImport: [9000, 120, 855, 375],
    positionFrame: [10800, 0, 2175, 615],
    left: [360, 240, 375, 270],
    top: [1360, 240, 375, 270],
    nudgeLeft: [120, 300, 255, 255],
    nudgeRight: [720, 300, 255, 255],
    nudgeUp: [1160, 240, 255, 135],
    nudgeDown: [1760, 360, 255, 135],
    line: [1800, 600, 9000, 15],
};

function place(element, [left, top, width, height]) {
    element.style.left = `calc(var(--twip) * ${left})`;
    element.style.top = `calc(var(--twip) * ${top})`;
    element.style.width = `calc(var(--twip) * ${width})`;
    element.style.height = `calc(var(--twip) * ${height})`;
    return element;
}

function make(tag, className, text) {
    const element = document.createElement(tag);
    if (className)
        element.className = className;
    if (text !== undefined)
        element.textContent = text;
    return element;
}

function button(action, caption, rect) {
    const b = place(make('button', 'sheet-button', caption), rect);
    b.type = 'button';
    b.dataset.action = action;
    return b;
}

export class SheetView {
    // `handlers`: leave(index), editCheckCode(), step(to), setIntl(flag), print(), openImport(),
    // offsetsEdited(left, top), nudge(direction), chooseCounter(name).
    constructor(area, form, sheet, handlers) {
        this.area = area;
        this.form = form;
        this.sheet = sheet;
        this.handlers = handlers;
        this.inputs = new Array(FieldCount);
        this.order = form.focusOrder.filter((i) => i >= 0 && i < FieldCount);
        this.build();
        sheet.onChange((changed, caretInfo) => this.show(changed, caretInfo));
        this.show(new Set(this.order));
        this.fit();
        window.addEventListener('resize', () => this.fit());
    }

    build() {
        const area = this.area;
        area.replaceChildren();
        this.buildBar(area);
        for (const label of this.form.labels) {
            const l = place(make('span', 'sheet-label', label.caption),
                            [label.left, label.top, label.width, label.height]);
            if (label.centred)
                l.classList.add('centred');
            area.append(l);
        }
        const places = new Map(this.form.fields.map((f) => [f.index, f]));
        for (const index of this.order) {
            const f = places.get(index);
            if (!f)
                continue;
            const input = place(make('input', 'sheet-field'), [f.left, f.top, f.width, f.height]);
            input.dataset.field = String(index);
            input.autocomplete = 'off';
            input.spellcheck = false;
            input.setAttribute('aria-label', `票面第${index}项`);
            this.bindField(input, index);
            this.inputs[index] = input;
            area.append(input);
        }
        this.buttons = {};
        for (const b of this.form.buttons) {
            const element = button(b.action, b.caption, [b.left, b.top, b.width, b.height]);
            element.addEventListener('click', () => this.handlers.step(b.action));
            this.buttons[b.action] = element;
            area.append(element);
        }
        this.area.append(place(make('div', 'sheet-line'), Bar.line));
    }

    // The bar comes first, so that Tab reaches it before the sheet, as in the window.
    buildBar(area) {
        const switchFrame = place(make('fieldset', 'sheet-frame'), Bar.switchFrame);
        this.intlRadios = [['国内', Bar.domestic, 0], ['国际', Bar.international, 1]].map(
            ([caption, rect, flag]) => {
                const label = place(make('label', 'sheet-option'), rect);
                const radio = make('input');
                radio.type = 'radio';
                radio.name = 'intl';
                radio.value = String(flag);
                radio.dataset.intl = String(flag);
                radio.addEventListener('change', () => {
                    if (radio.checked)
                        this.handlers.setIntl(flag);
                });
                label.append(radio, caption);
                switchFrame.append(label);
                return radio;
            });
        area.append(switchFrame);

        area.append(place(make('span', 'sheet-label', '柜台'), Bar.counterLabel));
        this.counterPick = place(make('select', 'sheet-select'), Bar.counter);
        this.counterPick.name = 'counterPick';
        this.counterPick.setAttribute('aria-label', '柜台');
        this.counterPick.addEventListener('change',
                                          () => this.handlers.chooseCounter(this.counterPick.value));
        area.append(this.counterPick);

        this.printButton = button('print', '打印', Bar.print);
        this.printButton.addEventListener('click', () => this.handlers.print());
        const importButton = button('pnr-import', 'PNR导入', Bar.pnrImport);
        importButton.addEventListener('click', () => this.handlers.openImport());
        area.append(this.printButton, importButton);

        const position = place(make('fieldset', 'sheet-frame'), Bar.positionFrame);
        position.append(make('legend', '', '打印位置'));
        this.offsetInputs = ['left', 'top'].map((name) => {
            const input = place(make('input', 'sheet-field offset'), Bar[name]);
            input.name = name;
            input.autocomplete = 'off';
            input.setAttribute('aria-label', name === 'left' ? '左右位置（毫米）' : '上下位置（毫米）');
            input.addEventListener('change', () => this.offsetsEdited());
            input.addEventListener('keydown', (e) => {
                if (e.key === 'Enter')
                    this.offsetsEdited();
            });
            position.append(input);
            return input;
        });
        for (const [direction, caption, rect, title] of [
                 ['left', '<<', Bar.nudgeLeft, '向左1毫米'], ['right', '>>', Bar.nudgeRight, '向右1毫米'],
                 ['up', '︽', Bar.nudgeUp, '向上1毫米'], ['down', '︾', Bar.nudgeDown, '向下1毫米']]) {
            const nudge = button(`nudge-${direction}`, caption, rect);
            nudge.className = 'nudge';
            nudge.tabIndex = -1; // clickable marks, as in the window, not stops of the Tab key
            nudge.title = title;
            // A click on a mark leaves the focus where it was, as a click on the window's does.
            nudge.addEventListener('mousedown', (e) => e.preventDefault());
            nudge.addEventListener('click', () => this.handlers.nudge(direction));
            position.append(nudge);
        }
        area.append(position);
    }

    bindField(input, index) {
        const typed = () => this.sheet.edit(index, input.value, input.selectionStart ?? input.value.length);
        input.addEventListener('input', (e) => {
            // While an input method composes a word the text is not the operator's yet.
            if (!e.isComposing)
                typed();
        });
        input.addEventListener('compositionend', typed);
        input.addEventListener('focusout', () => {
            // Only a move to another control of the page counts, not the browser window
            // losing activation.
            if (!document.hasFocus())
                return;
            if (FareFields.has(index))
                this.handlers.leave(index);
            if (index === 35)
                this.handlers.editCheckCode();
        });
        input.addEventListener('keydown', (e) => {
            if (e.key === 'Enter' && !e.isComposing) {
                e.preventDefault();
                this.focusAfter(index);
            }
        });
    }

    focusAfter(index) {
        const at = this.order.indexOf(index);
        const next = this.inputs[this.order[(at + 1) % this.order.length]];
        next.focus();
        next.select();
    }

    show(changed, caretInfo) {
        for (const index of changed) {
            const input = this.inputs[index];
            if (!input)
                continue;
            const text = this.sheet.fields[index];
            const editing = caretInfo && caretInfo.caretField === index;
            if (input.value !== text)
                input.value = text;
            if (editing && document.activeElement === input)
                input.setSelectionRange(caretInfo.caret, caretInfo.caret);
        }
        for (const radio of this.intlRadios)
            radio.checked = Number(radio.value) === this.sheet.intl;
        if (this.buttons.previous)
            this.buttons.previous.disabled = !this.sheet.prevEnabled;
        if (this.buttons.next)
            this.buttons.next.disabled = !this.sheet.nextEnabled;
    }

    offsetsEdited() {
        const [left, top] = this.offsetInputs.map((i) => i.value);
        this.handlers.offsetsEdited(left, top);
    }

    showOffsets(left, top) {
        const [leftInput, topInput] = this.offsetInputs;
        if (leftInput.value !== left)
            leftInput.value = left;
        if (topInput.value !== top)
            topInput.value = top;
    }

    showCounters(names, chosen) {
        this.counterPick.replaceChildren(...names.map((name) => {
            const option = make('option', '', name);
            option.value = name;
            return option;
        }));
        this.counterPick.value = chosen || '';
        this.counterPick.disabled = names.length < 2;
    }

    setPrintEnabled(enabled) {
        this.printButton.disabled = !enabled;
    }

    // The sheet area keeps the window's proportions and fills the browser window's width, as
    // far as its height allows.
    fit() {
        const width = this.form.client.width / TwipsPerPixel;
        const height = this.form.client.height / TwipsPerPixel;
        const menu = document.querySelector('.menu-bar')?.offsetHeight ?? 0;
        const status = document.querySelector('.status-line')?.offsetHeight ?? 0;
        const scale = Math.max(0.6, Math.min((window.innerWidth - 24) / width,
                                             (window.innerHeight - menu - status - 24) / height, 3));
        this.area.style.setProperty('--twip', `${scale / TwipsPerPixel}px`);
        this.area.style.width = `${width * scale}px`;
        this.area.style.height = `${height * scale}px`;
    }
}
