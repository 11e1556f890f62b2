#include "meibo/filter_bar.h"

#include "core/era.h"
#include "core/reckoning.h"
#include "forms/ui/layout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace meibo {

using forms::ui::q;

namespace {

constexpr int kNoBound = -1;

template <class W> W* named(QWidget* parent, const char* name, const QString& spoken) {
    auto* w = new W(parent);
    w->setObjectName(QLatin1String(name));
    w->setAccessibleName(spoken);
    return w;
}

QLabel* labelFor(QWidget* parent, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QSpinBox* ageBound(QWidget* parent, const char* name, const QString& spoken) {
    auto* box = named<QSpinBox>(parent, name, spoken);
    box->setRange(kNoBound, 150);
    box->setSpecialValueText(QStringLiteral("指定なし"));
    box->setSuffix(QStringLiteral(" 歳"));
    box->setValue(kNoBound);
    // Some styles draw the special text too tight to its frame.
    box->setMinimumWidth(box->sizeHint().width() + box->fontMetrics().averageCharWidth() * 2);
    return box;
}

std::optional<int> bound(const QSpinBox* box) {
    return box->value() == kNoBound ? std::nullopt : std::optional(box->value());
}

QDate qDate(const platform::Date& d) {
    return {d.year, d.month, d.day};
}

} // namespace

FilterBar::FilterBar(QWidget* parent) : QWidget(parent) {
    build();
    auto filterEdited = [this] { userChanged(false); };
    connect(date_, &QDateEdit::dateChanged, this, [this] {
        era_->setText(q(core::eraDateText(asOf())));
        userChanged(true);
    });
    connect(view_, &QComboBox::activated, this, [this](int index) {
        if (index > 0 && viewChosen)
            viewChosen(core::kMeiboViews[static_cast<std::size_t>(index - 1)].view);
    });
    connect(name_, &QLineEdit::textChanged, this, filterEdited);
    connect(ageBasis_, &QComboBox::currentIndexChanged, this, filterEdited);
    connect(ageFrom_, &QSpinBox::valueChanged, this, filterEdited);
    connect(ageTo_, &QSpinBox::valueChanged, this, filterEdited);
    connect(month_, &QComboBox::currentIndexChanged, this, filterEdited);
    connect(schoolClass_, &QComboBox::currentIndexChanged, this, filterEdited);
    connect(celebration_, &QCheckBox::toggled, this, filterEdited);
    connect(clear_, &QPushButton::clicked, this, [this] {
        setState(asOf(), {}, std::nullopt);
        if (filterChanged)
            filterChanged();
    });
}

// Three short rows, so that the bar fits a small screen at 200 % too.
void FilterBar::build() {
    date_ = named<QDateEdit>(this, "asOfDate", QStringLiteral("基準日"));
    date_->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    date_->setCalendarPopup(true);
    date_->setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
    era_ = named<QLabel>(this, "asOfEra", QStringLiteral("基準日（和暦）"));
    view_ = named<QComboBox>(this, "view", QStringLiteral("定型の表示"));
    view_->addItem(QStringLiteral("（選ばない）"));
    for (const core::MeiboViewInfo& v : core::kMeiboViews)
        view_->addItem(q(v.label));
    name_ = named<QLineEdit>(this, "nameFilter", QStringLiteral("氏名の一部"));
    name_->setPlaceholderText(QStringLiteral("氏名の一部"));
    name_->setClearButtonEnabled(true);
    ageBasis_ = named<QComboBox>(this, "ageBasis", QStringLiteral("年齢の種類"));
    ageBasis_->addItems({QStringLiteral("年齢"), QStringLiteral("法定年齢")});
    ageFrom_ = ageBound(this, "ageFrom", QStringLiteral("年齢の下限"));
    ageTo_ = ageBound(this, "ageTo", QStringLiteral("年齢の上限"));
    month_ = named<QComboBox>(this, "birthMonth", QStringLiteral("誕生月"));
    month_->addItem(QStringLiteral("すべて"));
    for (int m = 1; m <= 12; ++m)
        month_->addItem(QStringLiteral("%1 月").arg(m));
    schoolClass_ = named<QComboBox>(this, "schoolClass", QStringLiteral("学年"));
    schoolClass_->addItem(QStringLiteral("すべて"));
    for (std::string_view c : core::kSchoolClasses)
        schoolClass_->addItem(q(c));
    celebration_ = named<QCheckBox>(this, "celebrationOnly", QStringLiteral("今年の長寿祝いのみ"));
    celebration_->setText(QStringLiteral("今年の長寿祝いのみ(&C)"));
    celebration_->setToolTip(
        QStringLiteral("基準日の年に長寿祝い（数え年）を迎える人だけを表示します"));
    clear_ = named<QPushButton>(this, "clearFilter", QStringLiteral("条件を消す"));
    clear_->setText(QStringLiteral("条件を消す(&R)"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    auto row = [&](int r, std::initializer_list<QWidget*> widgets) {
        auto* line = new QHBoxLayout;
        for (QWidget* w : widgets)
            line->addWidget(w);
        line->addStretch(1);
        grid->addLayout(line, r, 0);
    };
    row(0, {labelFor(this, QStringLiteral("基準日(&D)"), date_), date_, era_,
            labelFor(this, QStringLiteral("定型の表示(&T)"), view_), view_});
    row(1, {labelFor(this, QStringLiteral("氏名(&N)"), name_), name_, ageBasis_, ageFrom_,
            new QLabel(QStringLiteral("〜"), this), ageTo_});
    row(2, {labelFor(this, QStringLiteral("誕生月(&M)"), month_), month_,
            labelFor(this, QStringLiteral("学年(&G)"), schoolClass_), schoolClass_, celebration_,
            clear_});
    name_->setMinimumWidth(name_->fontMetrics().horizontalAdvance(QString(10, QChar(0x5C71))) +
                           name_->fontMetrics().height() * 2);
}

core::MeiboFilter FilterBar::filter() const {
    core::MeiboFilter f;
    f.name = name_->text().toStdString();
    f.ageBasis = ageBasis_->currentIndex() == 1 ? core::AgeBasis::LegalAge : core::AgeBasis::Age;
    f.ageFrom = bound(ageFrom_);
    f.ageTo = bound(ageTo_);
    if (month_->currentIndex() > 0)
        f.birthMonth = month_->currentIndex();
    if (schoolClass_->currentIndex() > 0)
        f.schoolClass = static_cast<std::size_t>(schoolClass_->currentIndex() - 1);
    f.celebrationOnly = celebration_->isChecked();
    return f;
}

platform::Date FilterBar::asOf() const {
    const QDate d = date_->date();
    return {d.year(), d.month(), d.day()};
}

void FilterBar::setState(const platform::Date& on, const core::MeiboFilter& f,
                         std::optional<core::MeiboView> view) {
    quiet_ = true;
    date_->setDate(qDate(on));
    era_->setText(q(core::eraDateText(on)));
    name_->setText(q(f.name));
    ageBasis_->setCurrentIndex(f.ageBasis == core::AgeBasis::LegalAge ? 1 : 0);
    ageFrom_->setValue(f.ageFrom.value_or(kNoBound));
    ageTo_->setValue(f.ageTo.value_or(kNoBound));
    month_->setCurrentIndex(f.birthMonth.value_or(0));
    schoolClass_->setCurrentIndex(f.schoolClass ? static_cast<int>(*f.schoolClass) + 1 : 0);
    celebration_->setChecked(f.celebrationOnly);
    int index = 0;
    for (std::size_t i = 0; i < core::kMeiboViews.size(); ++i)
        if (view == core::kMeiboViews[i].view)
            index = static_cast<int>(i) + 1;
    view_->setCurrentIndex(index);
    quiet_ = false;
}

std::optional<core::MeiboView> FilterBar::view() const {
    if (view_->currentIndex() <= 0)
        return std::nullopt;
    return core::kMeiboViews[static_cast<std::size_t>(view_->currentIndex() - 1)].view;
}

void FilterBar::focusName() {
    name_->setFocus(Qt::ShortcutFocusReason);
    name_->selectAll();
}

QWidget* FilterBar::first() const {
    return date_;
}

QWidget* FilterBar::last() const {
    return clear_;
}

// A condition or the date set by hand: the ready-made view no longer describes the table.
void FilterBar::userChanged(bool asOf) {
    if (quiet_)
        return;
    view_->setCurrentIndex(0);
    const auto& call = asOf ? asOfChanged : filterChanged;
    if (call)
        call();
}

} // namespace meibo
