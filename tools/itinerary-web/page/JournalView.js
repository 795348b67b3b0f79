// "打印记录": the rows of the counters the user may see, by dates, ticket number and the
// beginning of a passenger's name; "载入到票面" for a reprint, "作废…" for a spoiled form
// (supervisors and admins), the rows shown as CSV. A supervisor picks any counter.

const DefaultDays = 30;
// The service words a row's outcome in English; the operator reads it as the window words it.
const Outcomes = new Map([
    ['sent to the browser', '已送浏览器打印'],
    ['printed', '已打印'],
    ['not printed', '未打印'],
]);
const outcomeText = (text) => Outcomes.get(text) ?? text;

function isoDate(date) {
    const two = (n) => String(n).padStart(2, '0');
    return `${date.getFullYear()}-${two(date.getMonth() + 1)}-${two(date.getDate())}`;
}

function cell(text) {
    const td = document.createElement('td');
    td.textContent = text ?? '';
    return td;
}

export class JournalView {
    constructor(desk) {
        this.desk = desk;
        this.api = desk.api;
        this.messages = desk.messages;
        this.dialog = document.getElementById('journalDialog');
        this.filters = document.getElementById('journalFilters');
        this.body = document.querySelector('#journalTable tbody');
        this.count = document.getElementById('journalCount');
        this.csv = document.getElementById('journalCsv');
        this.voidBox = document.getElementById('voidDialog');
        this.voidButton = this.dialog.querySelector('[data-action="journal-void"]');
        this.rows = [];
        this.selected = -1;

        this.filters.addEventListener('submit', (e) => {
            e.preventDefault();
            this.search();
        });
        this.filters.addEventListener('input', () => this.updateCsvLink());
        this.dialog.querySelector('[data-action="journal-load"]').addEventListener('click', () => this.loadSelected());
        this.voidButton.addEventListener('click', () => this.askVoid());
        this.dialog.querySelector('[data-action="journal-close"]').addEventListener('click', () => this.dialog.close());
        this.voidBox.querySelector('[data-action="void-cancel"]').addEventListener('click', () => this.voidBox.close());
        this.voidBox.querySelector('[data-action="void-confirm"]').addEventListener('click', () => this.voidSelected());
        this.body.addEventListener('click', (e) => {
            const tr = e.target.closest('tr');
            if (tr)
                this.select(Number(tr.dataset.row));
        });
        this.body.addEventListener('dblclick', () => this.loadSelected());
        this.body.addEventListener('keydown', (e) => this.rowKey(e));
    }

    open() {
        const me = this.desk.me;
        const mayVoid = me && (me.role === 'supervisor' || me.role === 'admin');
        this.voidButton.hidden = !mayVoid;
        const f = this.filters.elements;
        if (!f.from.value) {
            const today = new Date();
            f.to.value = isoDate(today);
            f.from.value = isoDate(new Date(today.getFullYear(), today.getMonth(), today.getDate() - DefaultDays));
        }
        const counters = Array.isArray(me?.counters) ? me.counters : [];
        const chosen = f.counter.value;
        f.counter.replaceChildren(new Option('全部柜台', ''), ...counters.map((c) => new Option(c, c)));
        f.counter.value = counters.includes(chosen) ? chosen : '';
        this.updateCsvLink();
        if (!this.dialog.open)
            this.dialog.showModal();
        return this.search();
    }

    query() {
        const f = this.filters.elements;
        const params = new URLSearchParams();
        for (const name of ['from', 'to', 'ticket', 'name', 'counter']) {
            const value = f[name].value.trim();
            if (value)
                params.set(name, value);
        }
        return params.toString();
    }

    updateCsvLink() {
        const q = this.query();
        this.csv.href = `/api/journal.csv${q ? `?${q}` : ''}`;
    }

    async search() {
        try {
            const answer = await this.api.getJson(`/api/journal?${this.query()}`);
            this.rows = Array.isArray(answer.rows) ? answer.rows : [];
        } catch (error) {
            await this.messages.show(`打印记录无法读取：${error.message}`);
            return;
        }
        this.selected = -1;
        this.body.replaceChildren(...this.rows.map((row, i) => this.rowElement(row, i)));
        this.count.textContent = `共 ${this.rows.length} 条`;
        if (this.rows.length > 0)
            this.select(0); // the arrows and Enter work on the rows at once
        else
            this.filters.elements.ticket.focus();
    }

    rowElement(row, i) {
        const tr = document.createElement('tr');
        tr.dataset.row = String(i);
        tr.dataset.id = String(row.id ?? '');
        tr.tabIndex = -1;
        tr.append(cell(String(row.time ?? '').replace('T', ' ').slice(0, 19)), cell(row.counter), cell(row.user),
                  cell(outcomeText(row.outcome)), cell(row.message === row.outcome ? '' : row.message), cell(row.checkCode),
                  cell(row.ticket), cell(row.name), cell(row.record), cell(row.total),
                  cell(row.intl ? '国际' : '国内'), cell(row.printer), cell(row.voided ? '作废' : ''),
                  cell(row.voidReason));
        if (row.voided)
            tr.classList.add('voided');
        return tr;
    }

    select(i, focus = true) {
        const rows = this.body.children;
        if (i < 0 || i >= rows.length)
            return;
        rows[this.selected]?.classList.remove('selected');
        rows[this.selected]?.setAttribute('aria-selected', 'false');
        this.selected = i;
        rows[i].classList.add('selected');
        rows[i].setAttribute('aria-selected', 'true');
        rows[i].tabIndex = 0;
        if (focus)
            rows[i].focus();
    }

    rowKey(e) {
        if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
            e.preventDefault();
            this.select(this.selected + (e.key === 'ArrowDown' ? 1 : -1));
        } else if (e.key === 'Enter') {
            e.preventDefault();
            this.loadSelected();
        }
    }

    selectedRow() {
        const row = this.rows[this.selected];
        if (!row)
            this.messages.show('请先选择一条记录');
        return row;
    }

    async loadSelected() {
        const row = this.selectedRow();
        if (!row)
            return;
        await this.desk.loadForReprint(row);
        this.dialog.close();
    }

    askVoid() {
        if (!this.selectedRow())
            return;
        this.voidBox.querySelector('[name="voidReason"]').value = '';
        this.voidBox.showModal();
    }

    async voidSelected() {
        const row = this.rows[this.selected];
        const reason = this.voidBox.querySelector('[name="voidReason"]').value.trim();
        if (!reason)
            return this.messages.show('请填写作废原因');
        this.voidBox.close();
        try {
            const voided = await this.api.postJson('/api/journal/void', {id: row.id, reason});
            this.rows[this.selected] = voided;
            const tr = this.rowElement(voided, this.selected);
            this.body.children[this.selected].replaceWith(tr);
            this.select(this.selected);
        } catch (error) {
            await this.messages.show(`作废没有完成：${error.message}`);
        }
    }
}
