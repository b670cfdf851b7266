// Root of the model classes and its class identifier.
#pragma once

// Takes the next value of one process-wide counter when constructed.
class t_id {
public:
    t_id();
    virtual ~t_id() = default;
    int number() const { return m_number; }

private:
    int m_number;
};

class t_object {
public:
    virtual int get_id() const;
    virtual ~t_object() = default;

private:
    static const t_id class_id;
};
