// The counter page: the form's geometry and the session are asked for at once; after the
// login the sheet is laid out, the counter loaded, and the page is the agent's.

import {ApiClient, ApiError} from './ApiClient.js';
import {CounterDesk, counterRequest} from './CounterDesk.js';
import {ImportDialog} from './ImportDialog.js';
import {JournalView} from './JournalView.js';
import {LoginFlow, rememberedCounter} from './LoginFlow.js';
import {MessageBox} from './MessageBox.js';
import {Printing} from './Printing.js';
import {SheetState} from './SheetState.js';
import {SheetView} from './SheetView.js';

const RoleNames = {agent: '业务员', supervisor: '主管', admin: '管理员'};

const api = new ApiClient();
const messages = new MessageBox();
const login = new LoginFlow(api);

async function signedIn() {
    try {
        const me = await api.getJson('/api/me');
        api.signIn(me);
        const counters = Array.isArray(me.counters) ? me.counters : [];
        const remembered = rememberedCounter();
        if (counters.length > 1 && !counters.includes(remembered))
            return login.askCounter(me);
        return {me, counter: counters.includes(remembered) ? remembered : counters[0] || ''};
    } catch (error) {
        return login.ask(error.status === 401 ? '' : error.message);
    }
}

function bindActions(printing, journal) {
    const actions = {
        'print-all': () => printing.printAll(),
        preview: () => printing.showPreview(),
        copy: () => printing.askCopy(),
        calibration: () => printing.printCalibration(),
        journal: () => journal.open(),
        'setup-help': () => document.getElementById('setupDialog').showModal(),
        'setup-close': () => document.getElementById('setupDialog').close(),
        logout: () => logout(),
    };
    for (const [action, run] of Object.entries(actions)) {
        for (const element of document.querySelectorAll(`[data-action="${action}"]`))
            element.addEventListener('click', run);
    }
    // The window's shortcuts for printing; the browser's own Ctrl+P would print an empty view.
    document.addEventListener('keydown', (e) => {
        if (!(e.ctrlKey || e.metaKey) || e.altKey || e.key.toLowerCase() !== 'p')
            return;
        e.preventDefault();
        if (document.querySelector('dialog[open]'))
            return;
        if (e.shiftKey)
            printing.printAll();
        else
            printing.print();
    });
    document.getElementById('setupDialog').querySelector('.page-address').textContent = location.origin + '/';
}

async function logout() {
    try {
        await api.postJson('/api/logout', {}, {renew: false});
    } catch (error) {
        if (!(error instanceof ApiError) || error.status !== 401)
            return messages.show(`没有退出：${error.message}`);
    }
    api.signOut();
    SheetState.forgetDraft();
    location.reload();
}

function showSignedIn(me) {
    document.getElementById('signedIn').textContent = `${me.user}（${RoleNames[me.role] ?? me.role}）`;
}

async function start() {
    const formRequest = api.getJson('/api/form');
    formRequest.catch(() => {}); // read below, after the login
    const {me, counter} = await signedIn();
    // The counter's values are on their way while the sheet is laid out.
    const counterValues = counter ? counterRequest(api, counter) : null;
    counterValues?.catch(() => {}); // read by chooseCounter below
    let form;
    try {
        form = await formRequest;
    } catch (error) {
        await messages.show(`票面版式无法读取：${error.message}\n请刷新页面重试。`);
        return;
    }
    const desk = new CounterDesk(api, form, messages);
    desk.me = me;
    desk.sheet.restoreDraft();
    const importDialog = new ImportDialog(messages, (text) => desk.importBooking(text));
    const printing = new Printing(desk, form);
    const journal = new JournalView(desk);
    desk.view = new SheetView(document.getElementById('sheetArea'), form, desk.sheet, {
        leave: (index) => desk.leaveField(index),
        editCheckCode: () => desk.editCheckCode(),
        step: (to) => desk.stepPassenger(to),
        setIntl: (flag) => desk.setIntl(flag),
        print: () => printing.print(),
        openImport: () => importDialog.open(),
        offsetsEdited: (left, top) => desk.offsetsEdited(left, top),
        nudge: (direction) => desk.nudge(direction),
        chooseCounter: (name) => desk.chooseCounter(name),
    });
    for (const el of document.querySelectorAll('.paper-size'))
        el.textContent = `${form.paper.widthMm} × ${form.paper.heightMm} 毫米`;
    bindActions(printing, journal);

    // A session that ends: the login box comes back, the sheet stays, and the request that
    // found it ended is sent again once the operator is in.
    api.onSessionEnded = async (text) => {
        const again = await login.ask(text, desk.counter?.name ?? '');
        desk.me = again.me;
        showSignedIn(again.me);
        desk.view.showCounters(again.me.counters ?? [], again.counter);
        if (again.counter !== desk.counter?.name)
            await desk.useCounter(again.counter);
    };

    showSignedIn(me);
    desk.view.showCounters(me.counters ?? [], counter);
    document.getElementById('counterApp').hidden = false;
    desk.view.fit();
    await desk.chooseCounter(counter, counterValues);
    desk.view.inputs[0]?.focus();
}

start();
